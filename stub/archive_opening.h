// The restore program's way into the archive it carries: the body file (its
// own file, or the companion "...Data.dat" beside it), the trailer check and
// the passphrase check.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "archive/archive_reader.h"
#include "archive/byte_io.h"

namespace zq {

// The host path of the running program; empty when it cannot be told.
std::string runningProgramPath();

class CarriedArchive {
 public:
  // Chooses the body for the program at `executable` (the companion when it
  // exists as a file), opens it and checks its trailer. False with the
  // reason when it is not an archive (the caller shows the no-data message).
  bool open(const std::string& executable, std::string& why);

  const std::string& bodyPath() const { return bodyPath_; }
  ArchiveReader& reader() { return *reader_; }
  const tarchivetrailer& trailer() const { return reader_->trailer(); }

 private:
  std::string bodyPath_;
  HostFileSource source_;
  std::unique_ptr<ArchiveReader> reader_;
};

enum class PassphraseCheck {
  Accepted,  // the reader now holds the key
  TooShort,  // fewer than 5 characters: refused without trying it
  Wrong,     // the check block did not open
};

// What the passphrase dialog's OK does: a passphrase (UTF-8, as typed) of at
// least 5 characters is turned into the machine's ANSI text, its key text
// derived, and the check block tried. The check is case sensitive.
PassphraseCheck tryPassphrase(ArchiveReader& reader, std::string_view passphrase);

}  // namespace zq
