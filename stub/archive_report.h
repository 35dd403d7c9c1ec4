// What the restore program tells about its archive without restoring it:
// --info (the trailer), --list (every record and where the files would go)
// and --check (every chunk decoded, nothing written).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "archive/archive_reader.h"
#include "stub/restore_run.h"

namespace zq {

// Product, version text, encryption, record count and the list entries.
void printInfo(const tarchivetrailer& trailer, std::FILE* out);

// One tab-separated line per record (program, tag, relative folder, source
// folder, file name, size, stored size) under a header line.
void printRecords(const std::vector<tfilerecord>& records, std::FILE* out);

// Decodes every chunk of every record without writing, and checks the
// names a restore would refuse. Prints one line per damaged, short, long or
// refused file, and a summary. `recordsNote` is what reading the records
// reported (a list cut short). Returns the number of problems.
size_t checkArchive(ArchiveReader& reader, const std::string& recordsNote, std::FILE* out);

}  // namespace zq
