// The program restorers: one function per program whose data goes back to
// where that program keeps it (mail stores, profiles, settings), each in a
// file of its own under stub/ and named in its row of the restore program
// table (restore_table.cpp). What a restorer must do is in restore_run.h.
//
// Example of a declaration:
//   void restoreOpera(RestoreRun& run, std::string_view programName);
#pragma once

#include <string_view>

namespace zq {

class RestoreRun;

}  // namespace zq
