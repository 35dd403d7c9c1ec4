// Sample data of the mail and calendar programs that keep their stores where
// the registry or the user's local folders say: Outlook, Outlook Express,
// Windows Mail, Windows Live Mail and Windows Calendar. Each function
// returns one program's files and registry values (paths use the sample's
// variables, so the data fits any user).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "testing/sample_machine.h"

namespace zq {

// Outlook: the profile "Outlook" below HKCU "Software\Microsoft\Windows NT
// \CurrentVersion\Windows Messaging Subsystem\Profiles" with service sections
// whose "01020fff" values name three PST files, one in each of the value's
// three encodings (UTF-16 after a zero byte 53, 8-bit text from byte 57
// after two zero bytes, 8-bit text from byte 53), plus a section whose value
// is too short to name a file and one without such a value. The values hold
// finished paths, so they are made for `user`'s profile folder.
//   Outlook.pst   %LOCALAPPDATA%\Microsoft\Outlook (UTF-16)
//   archive.pst   %LOCALAPPDATA%\Microsoft\Outlook (8-bit from byte 57)
//   Family.pst    D:\Mail                          (8-bit from byte 53)
SampleData sampleOutlook(std::u16string_view user = u"alice");

// A "01020fff" value: a 53-byte header, then `path` in the chosen encoding
// and its terminating NUL.
enum class PstPathEncoding { Wide, NarrowAfterGap, Narrow };
std::vector<uint8_t> outlookPathValue(std::u16string_view path, PstPathEncoding encoding);

// Outlook Express: three identities below HKCU "Identities"; the first
// ("Main Identity") and the third ("Kids") have a "Store Root" (unexpanded
// "%USERPROFILE%\AppData\Local\Identities\{id}\Microsoft\Outlook Express")
// with .dbx stores, the second ("Work") has none. The address book
// %APPDATA%\Microsoft\Address Book\%USERNAME%.wab is named by HKCU
// "Software\Microsoft\WAB\WAB4\Wab File Name".
SampleData sampleOutlookExpress();

// Windows Mail: "Store Root" of HKCU "Software\Microsoft\Windows Mail" =
// "%USERPROFILE%\AppData\Local\Microsoft\Windows Mail" (unexpanded) with
// message files, the store database and a spelling dictionary; the user's
// Contacts folder with two contacts.
SampleData sampleWindowsMail();

// Windows Live Mail: "Store Root" of HKCU "Software\Microsoft\Windows Live
// Mail" = "%LOCALAPPDATA%\Microsoft\Windows Live Mail" (unexpanded) with a
// mail account folder and local folders; the same Contacts folder.
SampleData sampleWindowsLiveMail();

// Windows Calendar: %LOCALAPPDATA%\Microsoft\Windows Calendar with two
// calendars and the settings file.
SampleData sampleWindowsCalendar();

// All of the above, for the demo.
std::vector<SampleData> sampleMailA(std::u16string_view user = u"alice");

}  // namespace zq
