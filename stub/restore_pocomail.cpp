// PocoMail: the data folder and the folders poco.ini names go back where the
// target's installation keeps them; the restored poco.ini then gets the
// target's own folder settings back (the archive's copy stays as poco.bak).
// Below a chosen folder each kind of data gets a sub-folder of its own.
#include "collectors/mail_b_folders.h"
#include "core/text_file.h"
#include "stub/restore_run.h"
#include "stub/restorers.h"

namespace zq {
namespace {

// Rewrites the just restored poco.ini (the source computer's settings) with
// the target's folder settings, keeping the archive's copy as poco.bak. The
// new text is written to a file of its own and renamed into place only when
// every line of it was written: a full disk leaves the restored poco.ini
// whole and the restore failed, never a cut-off poco.ini.
bool rewritePocoIni(const std::u16string& dataFolder, const tinifile& targetSettings) {
  const std::u16string ini = dataFolder + u"poco.ini";
  const std::u16string backup = dataFolder + u"poco.bak";
  const std::u16string fresh = dataFolder + u"poco.ini.partial";
  ttextfile in, out;
  if (!openTextFile(in, ini)) return false;
  if (!createTextFile(out, fresh)) {
    closeTextFile(in);
    return false;
  }
  bool written = true;
  std::u16string line;
  while (written && readTextLine(in, line)) {
    const std::u16string lower = lowerText(line);
    for (const PocoFolderSetting& setting : kPocoFolderSettings) {
      if (widePos(lowerText(setting.key) + u"=", lower) != 0) {
        line = std::u16string(setting.key) + u"=" +
               targetSettings.readValue(pocoSettingSection(setting), setting.key, u"");
        break;
      }
    }
    written = writeTextLine(out, line);
  }
  written = written && !in.failed;
  closeTextFile(in);
  written = closeFile(out.file) && written;
  closeTextFile(out);
  if (!written) {
    deleteFile(fresh);
    return false;
  }
  // The archive's copy becomes poco.bak (replacing an older one); should the
  // new text then not take its name, the archive's copy goes back.
  if (!moveFile(ini, backup)) {
    deleteFile(fresh);
    return false;
  }
  if (!moveFile(fresh, ini)) {
    moveFile(backup, ini);
    deleteFile(fresh);
    return false;
  }
  return true;
}

bool restoreDetected(RestoreRun& run, std::string_view programName) {
  const std::u16string dataFolder = pocoDataFolder(pocoProgramFolder());
  if (dataFolder.empty() || !fileExists(dataFolder + u"poco.ini")) return false;
  // The target's folder settings, read before the archive's poco.ini lands.
  tinifile targetSettings;
  targetSettings.loadFile(dataFolder + u"poco.ini");

  if (!run.restoreEntries(dataFolder, u"main", false, programName)) return false;
  for (const PocoFolderSetting& setting : kPocoFolderSettings) {
    const std::u16string value =
        targetSettings.readValue(pocoSettingSection(setting), setting.key, u"");
    if (!run.restoreEntries(resolvePocoFolder(dataFolder, value), utf8ToWide(setting.tag), true,
                            programName)) {
      return false;
    }
  }
  return run.planning() || rewritePocoIni(dataFolder, targetSettings);
}

bool restoreChosen(RestoreRun& run, std::string_view programName) {
  const std::u16string base = addBackslash(run.destinationPath()) + u"PocoMail\\";
  if (!run.restoreEntries(base, u"main", false, programName)) return false;
  for (const PocoFolderSetting& setting : kPocoFolderSettings) {
    if (!run.restoreEntries(base + std::u16string(setting.chosen), utf8ToWide(setting.tag), true,
                            programName)) {
      return false;
    }
  }
  return true;
}

}  // namespace

void restorePocoMail(RestoreRun& run, std::string_view programName) {
  run.view().setInfoText(u"Restoring PocoMail Files...");
  run.restored =
      run.detectFolder() ? restoreDetected(run, programName) : restoreChosen(run, programName);
  if (!run.restored) {
    run.errortext =
        u"An error occured while restoring your PocoMail "
        u"data.\nMake sure that PocoMail is "
        u"installed on your system before restoring.";
  }
}

}  // namespace zq
