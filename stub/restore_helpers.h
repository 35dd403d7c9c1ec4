// Small pieces the messenger and media restorers share: folders below the
// chosen destination or below a special folder of this computer, and an
// extraction that never turns an unknown folder into "back to the source".
#pragma once

#include <string>
#include <string_view>

namespace zq {

class RestoreRun;

// The chosen destination with a trailing "\" and `rest` after it.
std::u16string chosenFolder(const RestoreRun& run, std::u16string_view rest);

// `rest` below a special folder of this computer; empty when that folder is
// unknown.
std::u16string belowSpecial(const std::u16string& special, std::u16string_view rest);

// restoreEntries into `base`, except that an empty base (a folder this
// computer does not know) does not send the files back to their source
// folders: the call then fails when the archive has such entries, and gives
// initialresult when it has none.
bool extractInto(RestoreRun& run, const std::u16string& base, std::u16string_view tagmask,
                 bool initialresult, std::string_view programName);

}  // namespace zq
