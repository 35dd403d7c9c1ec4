// Sample data of Thunderbird, Eudora, Palm Desktop, IncrediMail and PocoMail.
// Each function returns one program's files and registry values; paths use
// the sample's variables where they can. Files that hold finished paths
// (Thunderbird's profiles.ini and prefs.js) are made for `user`.
#pragma once

#include <string_view>
#include <vector>

#include "testing/sample_machine.h"

namespace zq {

// Thunderbird in %APPDATA%\Thunderbird: profiles.ini lists
//   Profile0 "default"  relative  Profiles/k3x9q2ab.default   (Default=1)
//   Profile1 "work"     absolute  %APPDATA%\Thunderbird\Profiles\w0rk5t1n.work
//   (inside) Profile2 "archive"  absolute  D:\Mail Archive\Profile (outside)
//   Profile3 "stale"    absolute  /tmp/tb/tb4  (a Linux path left by a moved
//   profile)
// The default profile's prefs.js (the real shape, doubled backslashes) names
// server1 "Local Folders" inside the profile, server2
// D:\MailStore\pop.example.org and server3 D:\MailStore\mail.example.net
// outside it (both with an Inbox and msgFilterRules.dat), and server4 an IMAP
// folder inside the profile. Every profile has a parent.lock that is never
// stored.
SampleData sampleThunderbird(std::u16string_view user = u"alice");

// The newer Eudora: HKLM "Software\Mozilla\Eudora" "CurrentVersion" (its data
// is Thunderbird's; combine with sampleThunderbird).
SampleData sampleEudoraOnThunderbird();

// Classic Eudora: App Paths "Eudora.exe" names C:\Program Files\Qualcomm\Eudora
// (no eudora.ini there), whose deudora.ini names the data folder
// D:\Eudora Mail (eudora.ini, mailboxes, nndbase.txt, an "attach" folder);
// eudora.ini puts received attachments in D:\Eudora Mail Attachments, a
// folder outside the data folder whose name begins with its name. HKCU
// "Software\Qualcomm\Eudora\CommandLine" "current" holds the command line.
SampleData sampleEudora();

// Palm Desktop in C:\Program Files\Palm (HKCU "Software\U.S. Robotics\Pilot
// Desktop\Core" "Path"): users.dat, the user folders "AliceS" and "Dad"
// (address, datebook, memopad, todo), and "Help", which is not a user folder.
SampleData samplePalmDesktop();

// IncrediMail installed for the user: HKCU "Software\IncrediMail"
// "ApplicationPath" %LOCALAPPDATA%\IM; identities {A1...} (the default),
// {B2...} and {C3...} with message stores, plus Lex, AddOns, Runtime and files
// in IM.
SampleData sampleIncrediMail();
// The same installed for the machine: HKLM keys, C:\Program Files\IncrediMail.
SampleData sampleIncrediMailMachineWide();

// PocoMail 4 (HKCU "Software\Poco Systems Inc\PocoMail 4" "Path"; the keys
// of newer versions absent, "PocoMail 3" left by an older installation):
// pocosystem.ini puts the data in %APPDATA%\PocoMail; poco.ini names Mail,
// Users, Address, Scripts, Signatures, Templates and Skins below it and the
// attachments in D:\Poco Attachments.
SampleData samplePocoMail();

// Every program above (classic Eudora), for the demo.
std::vector<SampleData> sampleMailB(std::u16string_view user = u"alice");

}  // namespace zq
