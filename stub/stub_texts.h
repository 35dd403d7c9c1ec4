// The restore program's texts, exactly as the user sees them (typos included).
#pragma once

#include <string_view>

namespace zq::stubtext {

inline constexpr std::u16string_view kNoData =
    u"This executable archive does not contain any data files!";
inline constexpr std::u16string_view kPassphraseCaption = u"Specify a PassPhrase";
inline constexpr std::u16string_view kPassphrasePrompt =
    u"This archive is encrypted.  Please specify a PassPhrase:";
inline constexpr std::u16string_view kIncorrectPassphrase =
    u"Incorrect passphrase!\nPlease re-type your passphrase carefully and remember it's case "
    u"sensitive!\n";
inline constexpr std::u16string_view kApplicationTitle = u"Zarvo Backup / Quillo Transfer";

// Welcome page.
inline constexpr std::u16string_view kWelcomeBackup =
    u"This executable archive contains the files from the programs you selected to backup.\n\n";
inline constexpr std::u16string_view kWelcomeTransfer =
    u"This executable archive contains the files from the programs you selected to "
    u"transfer.\n\n";
inline constexpr std::u16string_view kWelcomeGuide =
    u"Use this wizard to guide you through restoring your data.";
inline constexpr std::u16string_view kClickNext = u"Click 'Next' to continue.";

// Program page.
inline constexpr std::u16string_view kProgramsTitle = u"Select the Programs and Files to Restore";
inline constexpr std::u16string_view kManualEntry = u"Manually selected files";

// Destination page.
inline constexpr std::u16string_view kDestinationTitle = u"Transfer Destination";
inline constexpr std::u16string_view kDestinationInfo =
    u"Select where you would like to restore your files and folders...";
inline constexpr std::u16string_view kDetectFolder = u"Auto-Detect Destination (Recommended!)";
inline constexpr std::u16string_view kDetectNote =
    u"It is highly recommended that you select this option so that the files and folders are "
    u"extracted to their appropriate locations.";
inline constexpr std::u16string_view kSpecifyFolder = u"Specify Destination Folder...";
inline constexpr std::u16string_view kNoDestination = u"You must specify a destination folder!";

// Ready page.
inline constexpr std::u16string_view kReadyTitle = u"Almost Ready to Restore...";
inline constexpr std::u16string_view kClosePrograms =
    u"It is strongly recommended that you close all the programs associated with the files you "
    u"have chosen to restore!";
inline constexpr std::u16string_view kClickRestore =
    u"Click 'Restore!' to start restoring your files.";

// Restoring page.
inline constexpr std::u16string_view kRestoringTitle = u"Restoring Files...";
inline constexpr std::u16string_view kGettingInformation = u"Getting File Information...";
inline constexpr std::u16string_view kRestoring = u"Restoring ";
inline constexpr std::u16string_view kRestoringManual = u"Restoring manually selected files...";
inline constexpr std::u16string_view kRestoredTitle = u"Your data has been successfully restored!";
inline constexpr std::u16string_view kFailedTitle = u"Unable to restore files...";
inline constexpr std::u16string_view kClickFinish = u"Click 'Finish' to exit the program.";
inline constexpr std::u16string_view kLocationErrorStart =
    u"An error occured while restoring your ";
inline constexpr std::u16string_view kLocationErrorEnd =
    u" files.\nMake sure you have closed all your programs so that they aren't accessing any "
    u"files.";

// Cancel: "Are you sure you want to close " + product + " Restore?"
inline constexpr std::u16string_view kCloseQuestionStart = u"Are you sure you want to close ";
inline constexpr std::u16string_view kCloseQuestionEnd = u" Restore?";

// Window caption: product + this; welcome title: "Welcome to the " + product + this + "!".
inline constexpr std::u16string_view kWizardSuffix = u" Restore Wizard";
inline constexpr std::u16string_view kWelcomeTitleStart = u"Welcome to the ";

}  // namespace zq::stubtext
