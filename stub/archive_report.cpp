#include "stub/archive_report.h"

#include "core/system_helpers.h"
#include "core/text.h"
#include "stub/entry_paths.h"
#include "stub/restore_list.h"

namespace zq {
namespace {

std::string narrow(std::u16string_view text) { return printable(text); }

// A record's file as the user knew it: its source folder and name.
std::string fileLabel(const tfilerecord& record) {
  return record.programname + ": " + narrow(record.sourcefolder) + narrow(record.filename);
}

}  // namespace

void printInfo(const tarchivetrailer& trailer, std::FILE* out) {
  std::fprintf(out, "Product: %s\n", narrow(productText(trailer)).c_str());
  std::fprintf(out, "Version: %s\n", narrow(ansiToWide(trailer.versiontext)).c_str());
  std::fprintf(out, "Encrypted: %s\n", trailer.encrypted != 0 ? "yes" : "no");
  std::fprintf(out, "Records: %lld\n", static_cast<long long>(trailer.recordcount));
  std::fputs("Holds:", out);
  const auto list = buildRestoreList(trailer);
  if (list.empty()) std::fputs(" nothing", out);
  for (size_t i = 0; i < list.size(); ++i) {
    std::fprintf(out, "%s %s", i == 0 ? "" : ",", narrow(list[i].text).c_str());
  }
  std::fputc('\n', out);
}

void printRecords(const std::vector<tfilerecord>& records, std::FILE* out) {
  std::fputs("program\ttag\trelative folder\tsource folder\tfile name\tsize\tstored size\n", out);
  for (const tfilerecord& r : records) {
    std::fprintf(out, "%s\t%s\t%s\t%s\t%s\t%lld\t%lld\n", narrow(ansiToWide(r.programname)).c_str(),
                 narrow(ansiToWide(r.tag)).c_str(), narrow(r.relativefolder).c_str(),
                 narrow(r.sourcefolder).c_str(), narrow(r.filename).c_str(),
                 static_cast<long long>(r.filesize), static_cast<long long>(r.storedsize));
  }
}

size_t checkArchive(ArchiveReader& reader, const std::string& recordsNote, std::FILE* out) {
  size_t problems = 0;
  if (!recordsNote.empty()) {
    std::fprintf(out, "damaged record list: %s\n", recordsNote.c_str());
    ++problems;
  }
  const auto& records = reader.records();
  for (size_t i = 0; i < records.size(); ++i) {
    const tfilerecord& record = records[i];
    std::string why;
    std::vector<std::u16string> components;
    if (!isPlainName(record.filename, &why) ||
        !splitRelativeFolder(record.relativefolder, components, &why)) {
      std::fprintf(out, "refused name: %s: %s\n", fileLabel(record).c_str(), why.c_str());
      ++problems;
    }
    if (record.filesize <= 0) continue;
    NullSink sink;
    if (reader.restoreFile(i, sink, {}, &why) != RestoreOutcome::Restored) {
      std::fprintf(out, "damaged: %s: %s\n", fileLabel(record).c_str(), why.c_str());
      ++problems;
    } else if (static_cast<int64_t>(sink.written) != record.filesize) {
      std::fprintf(out, "size differs: %s: its chunks hold %llu bytes, its record says %lld\n",
                   fileLabel(record).c_str(), static_cast<unsigned long long>(sink.written),
                   static_cast<long long>(record.filesize));
      ++problems;
    }
  }
  std::fprintf(out, "%zu file%s checked, %zu problem%s found\n", records.size(),
               records.size() == 1 ? "" : "s", problems, problems == 1 ? "" : "s");
  return problems;
}

}  // namespace zq
