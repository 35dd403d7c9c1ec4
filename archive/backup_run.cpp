#include "archive/backup_run.h"

#include <memory>
#include <optional>
#include <vector>

#include "archive/byte_io.h"
#include "archive/chunk_writer.h"
#include "core/blowfish.h"
#include "core/files.h"
#include "core/machine.h"
#include "core/paths.h"
#include "core/strings.h"
#include "core/system_helpers.h"
#include "core/text.h"

namespace zq {
namespace {

constexpr std::u16string_view kWriteFailedText =
    u"Unable to write to destination.  Is it possible the disk is full?";

std::u16string count(int64_t n) { return utf8ToWide(std::to_string(n)); }

// The headline and information of the finished run.
void resultTexts(bool backupEdition, BackupResult& r) {
  if (!r.succeeded) {
    r.title =
        backupEdition ? u"Unable to complete backup." : u"Unable to create transfer archive...";
    r.info = r.cancelled ? u"" : r.errorText;
    return;
  }
  const std::u16string n = count(r.recordCount);
  if (backupEdition) {
    r.title = u"The backup was created successfully!";
    r.info = u"A total of " + n +
             u" files were backed up.\n\nTo restore the backup simply run the executable backup "
             u"file on the computer you wish to restore to.";
    if (r.split) {
      r.info +=
          u"  The Backup was was more than 4GB in size and therefore had to be split into 2 "
          u"files.\n\nThe backup files are located here:\n" +
          r.archivePath + u"\n" + r.companionPath;
    } else {
      r.info += u"\n\nThe Backup is located here:\n" + r.archivePath;
    }
    return;
  }
  r.title = u"The transfer archive was created successfully!";
  r.info = u"A total of " + n +
           u" files were archived.\n\nYou may now run the executable transfer archive on the "
           u"destination computer and let the wizard guide you through restoring your files.\n\n";
  if (r.split) {
    r.info +=
        u"The transfer archive was was more than 4GB in size and had to be split into 2 "
        u"files.\n\nThe transfer archives are located here:\n" +
        r.archivePath + u"\n" + r.companionPath;
  } else {
    r.info += u"The Transfer Archive is located here:\n" + r.archivePath;
  }
}

// Writes the restore program to the front of a new file of the machine and
// leaves it open for more. Null, with the reason in `problem`, on failure.
std::unique_ptr<File> writeStub(const std::string& stubPath, const std::u16string& target,
                                int64_t& size, std::string& problem) {
  HostFileSource stub;
  std::string why;
  if (!stub.open(stubPath, &why)) {
    problem = "cannot read the restore program " + stubPath + ": " + why;
    return nullptr;
  }
  size = stub.size();
  const std::u16string folder = folderOfPath(target);
  if (!folder.empty()) forceFolders(folder);
  std::unique_ptr<File> out = currentMachine().openFile(target, OpenMode::Write, &why);
  if (!out) {
    problem = "cannot create " + wideToUtf8(target) + ": " + why;
    return nullptr;
  }
  std::vector<uint8_t> buffer(1 << 16);
  uint64_t done = 0;
  while (size >= 0 && done < static_cast<uint64_t>(size)) {
    const size_t n = stub.readAt(done, buffer.data(), buffer.size());
    if (n == 0) break;
    if (!out->write(buffer.data(), n)) {
      problem = "cannot write " + wideToUtf8(target);
      return nullptr;
    }
    done += n;
  }
  if (size < 0 || done != static_cast<uint64_t>(size)) {
    problem = "cannot read the restore program " + stubPath;
    return nullptr;
  }
  return out;
}

// True when the file ends in an archive trailer: a body this program (or an
// earlier run) wrote, not some other file that happens to share the name.
bool endsInTrailer(std::u16string_view path) {
  std::unique_ptr<File> file = currentMachine().openFile(path, OpenMode::Read);
  if (!file) return false;
  const int64_t size = file->size();
  if (size < static_cast<int64_t>(kTrailerSize)) return false;
  TrailerBytes bytes;
  if (!file->seek(static_cast<uint64_t>(size) - kTrailerSize)) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const size_t n = file->read(bytes.data() + done, bytes.size() - done);
    if (n == 0) return false;
    done += n;
  }
  tarchivetrailer trailer;
  return decodeTrailer(bytes, trailer, nullptr);
}

class Run {
 public:
  Run(const BackupJob& job, ProgressView& view) : job_(job), view_(view) {
    result_.archivePath = job.archivePath;
    temp_ = job.archivePath + std::u16string(kPartialSuffix);
    stubTemp_ = job.archivePath + u".stub" + std::u16string(kPartialSuffix);
    companion_ = companionPath(job.archivePath);
    companionAside_ = companion_ + u".old" + std::u16string(kPartialSuffix);
  }

  BackupResult run() {
    const LocalDateTime now = job_.clock ? job_.clock() : localNow();
    if (log_.start(editionTitle(job_.backupEdition), now)) result_.logPath = log_.path();
    view_.setProgressText(u"Initializing...");
    view_.pump();
    if (job_.saveSettings) job_.saveSettings();

    PathTranslator translator;
    if (job_.shadowCopy && job_.startShadowCopy && (isWindowsXP() || isNewerThanXP())) {
      translator = job_.startShadowCopy();
    }

    const bool written = writeArchive(std::move(translator));
    if (archive_) archive_.reset();  // closed before the temporary file goes
    result_.succeeded = written && !result_.cancelled;
    if (!result_.succeeded) {
      currentMachine().deleteFile(temp_);
      currentMachine().deleteFile(stubTemp_);
    }
    finish();
    return std::move(result_);
  }

 private:
  // Everything from the stub copy to the archive in its place. False on
  // any failure or Cancel.
  bool writeArchive(PathTranslator translator) {
    if (job_.archivePath.empty()) {
      result_.problem = "no archive path";
      return false;
    }
    int64_t stubSize = 0;
    archive_ = writeStub(job_.stubPath, temp_, stubSize, result_.problem);
    if (!archive_) return false;

    FileSink sink(*archive_);
    ArchiveWriter writer(sink, stubSize, job_.encrypt,
                         job_.encrypt ? keyTextFromPassphrase(wideToAnsi(job_.passphrase)) : "");
    EntryWriterSetup setup;
    setup.backupEdition = job_.backupEdition;
    setup.translatePath = std::move(translator);
    setup.aimLogSettings = job_.aimLogSettings;
    EntryWriter entries(writer, view_, log_, std::move(setup));
    for (const std::u16string& own :
         {job_.archivePath, temp_, companion_, stubTemp_, companionAside_}) {
      entries.protectFile(own);
    }
    entries.clearErrorText();

    const bool collected = collect(entries);
    result_.errorText = entries.errorText();
    if (view_.cancelled()) result_.cancelled = true;
    if (!collected || result_.cancelled) return false;

    view_.setProgressBar(0);
    view_.setInfoText(u"");
    view_.setProgressText(u"Backing up file information...");
    view_.pump();
    tarchivetrailer trailer;
    trailer.productname = std::string(kArchiveProductName);
    trailer.versiontext = std::string(kArchiveVersionText);
    for (size_t i = 0; i < kCatalogueSize; ++i) trailer.programpresent[i] = job_.selection[i];
    trailer.manualpresent = job_.manualPresent ? 1 : 0;
    std::string why;
    const bool ended = writer.writeEnd(trailer, &why);
    const bool closed = archive_->close();
    archive_.reset();
    if (!ended || !closed) {
      result_.errorText = std::u16string(kWriteFailedText);
      result_.problem = ended ? "the archive could not be closed" : why;
      return false;
    }
    result_.recordCount = static_cast<int64_t>(writer.records().size());

    const bool placed = writer.bodyLength() >= job_.companionThreshold ? placeSplit() : place();
    if (!job_.automatedRun && job_.updateSchedule) job_.updateSchedule();
    return placed;
  }

  // The steps in order; false at the first that fails.
  bool collect(EntryWriter& entries) {
    auto step = [&](const CollectStep& collect) {
      if (view_.cancelled()) return false;
      // Each step's failure is told with its own reason, not one an
      // earlier step left behind after it had succeeded.
      entries.clearErrorText();
      const bool ok = collect && collect(entries);
      // A destination that refused data leaves an unusable body, whatever
      // the collector made of the failed add.
      return ok && !entries.destinationFailed() && !view_.cancelled();
    };
    for (const CollectorStep& collector : job_.collectors) {
      const int index = catalogueIndex(collector.name);
      if (index < 0 || !job_.selection[static_cast<size_t>(index)]) continue;
      if (!step(collector.collect)) return false;
    }
    if (job_.manualPresent && !step(job_.collectManual)) return false;
    if (job_.collectSearched && !step(job_.collectSearched)) return false;
    entries.clearErrorText();
    return true;
  }

  // The finished body takes the archive's name. A companion left by an
  // earlier, larger archive of the same name would be read in its place,
  // so it goes; one that cannot go is told, not passed over.
  bool place() {
    if (!currentMachine().moveFile(temp_, job_.archivePath)) {
      result_.problem = "cannot replace " + wideToUtf8(job_.archivePath);
      return false;
    }
    if (fileExists(companion_) && endsInTrailer(companion_) &&
        !currentMachine().deleteFile(companion_)) {
      result_.problem = "the archive was written, but the old companion " +
                        wideToUtf8(companion_) + " could not be deleted";
    }
    return true;
  }

  // The body becomes the companion file and the archive a plain copy of the
  // restore program. The copy is made before anything is moved, and an old
  // companion is only moved aside until both moves have succeeded: a failure
  // puts every file back as it was, so the previous archive and its
  // companion stay whole.
  bool placeSplit() {
    result_.companionPath = companion_;
    int64_t stubSize = 0;
    std::unique_ptr<File> stubCopy = writeStub(job_.stubPath, stubTemp_, stubSize, result_.problem);
    bool ok = stubCopy != nullptr && stubCopy->close();
    stubCopy.reset();
    Machine& machine = currentMachine();
    bool asideMoved = false;
    if (ok && fileExists(companion_)) {
      ok = asideMoved = machine.moveFile(companion_, companionAside_);
      if (!ok) result_.problem = "cannot move the old " + wideToUtf8(companion_) + " aside";
    }
    bool dataMoved = false;
    if (ok) {
      ok = dataMoved = machine.moveFile(temp_, companion_);
      if (!ok) result_.problem = "cannot move the archive to its companion";
    }
    if (ok) {
      ok = machine.moveFile(stubTemp_, job_.archivePath);
      if (!ok) result_.problem = "cannot replace " + wideToUtf8(job_.archivePath);
    }
    if (!ok) {
      result_.errorText = u"4GB Error.  Please contact " + std::u16string(kSupportAddress) +
                          u" for more information.";
      if (result_.problem.empty()) result_.problem = "cannot move the archive to its companion";
      // The new data goes; the old companion takes its name again.
      bool restored = true;
      if (asideMoved) {
        restored = machine.moveFile(companionAside_, companion_);
      } else if (dataMoved) {
        restored = machine.deleteFile(companion_);
      }
      if (!restored) {
        result_.problem += asideMoved ? "; the previous companion is left as " +
                                            wideToUtf8(companionAside_)
                                      : "; the new companion could not be deleted";
      }
      return false;
    }
    if (asideMoved && !machine.deleteFile(companionAside_)) {
      result_.problem = "the archive was written, but the old companion " +
                        wideToUtf8(companionAside_) + " could not be deleted";
    }
    result_.split = true;
    return true;
  }

  void finish() {
    resultTexts(job_.backupEdition, result_);
    view_.setTitle(result_.title);
    view_.setInfoText(result_.info);
    log_.writeLine(u"--");
    log_.writeLine(escapeLogText(result_.title));
    log_.writeLine(replaceAll(escapeLogText(result_.info), u"\n", u"<br>"));
    log_.end();
    result_.closeProgram = job_.automatedRun && job_.autoclose;
  }

  const BackupJob& job_;
  ProgressView& view_;
  RunLog log_;
  BackupResult result_;
  std::u16string temp_;
  std::u16string stubTemp_;
  std::u16string companion_;
  std::u16string companionAside_;  // an old companion while the new one moves in
  std::unique_ptr<File> archive_;  // the temporary file while the body is written
};

}  // namespace

BackupResult runBackup(const BackupJob& job, ProgressView& view) { return Run(job, view).run(); }

}  // namespace zq
