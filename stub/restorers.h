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

// Messengers (restore_messengers.cpp).
void restoreSkype(RestoreRun& run, std::string_view programName);
void restoreICQ(RestoreRun& run, std::string_view programName);
void restoreYahooMessenger(RestoreRun& run, std::string_view programName);
void restoreAIM(RestoreRun& run, std::string_view programName);
void restoreWindowsLiveMessenger(RestoreRun& run, std::string_view programName);
// Google Desktop and Windows Media Player (restore_search_media.cpp).
void restoreGoogleDesktop(RestoreRun& run, std::string_view programName);
void restoreMediaPlayer(RestoreRun& run, std::string_view programName);

// Outlook and Outlook Express (restore_outlook.cpp).
void restoreOutlook(RestoreRun& run, std::string_view programName);
void restoreOutlookExpress(RestoreRun& run, std::string_view programName);
// Windows Mail, Windows Live Mail and Windows Calendar (restore_windows_mail.cpp).
void restoreWindowsMail(RestoreRun& run, std::string_view programName);
void restoreWindowsLiveMail(RestoreRun& run, std::string_view programName);
void restoreWindowsCalendar(RestoreRun& run, std::string_view programName);

// Thunderbird and Eudora (restore_thunderbird.cpp), Palm Desktop, IncrediMail
// and PocoMail (restore_<program>.cpp).
void restoreThunderbird(RestoreRun& run, std::string_view programName);
void restoreEudora(RestoreRun& run, std::string_view programName);
void restorePalmDesktop(RestoreRun& run, std::string_view programName);
void restoreIncrediMail(RestoreRun& run, std::string_view programName);
void restorePocoMail(RestoreRun& run, std::string_view programName);

// Firefox, Google Chrome, Internet Explorer, Safari and My Documents
// (restore_browsers.cpp), Opera (restore_opera.cpp).
void restoreFirefox(RestoreRun& run, std::string_view programName);
void restoreChrome(RestoreRun& run, std::string_view programName);
void restoreInternetExplorer(RestoreRun& run, std::string_view programName);
void restoreSafari(RestoreRun& run, std::string_view programName);
void restoreMyDocuments(RestoreRun& run, std::string_view programName);
void restoreOpera(RestoreRun& run, std::string_view programName);

}  // namespace zq
