// Sample stores of Outlook, Outlook Express, Windows Mail, Windows Live Mail
// and Windows Calendar: small files that begin the way the real ones do.
#include "testing/sample_mail_a.h"

#include <string>

#include "core/text.h"

namespace zq {

namespace {

// 2023-06-02 08:15:00 UTC, so listings of the sample do not change from run to run.
constexpr int64_t kMailTime = 1685693700;

const std::u16string kProfiles =
    u"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles"
    u"\\Outlook\\";

// A personal folders file: its signature, then blocks of mail-like text and
// counters, so it compresses the way a real one does, partly.
std::string fakePst(const std::string& label, int blocks) {
  std::string s("!BDN\x0E\x1A\x53\x4D\x15\x00\x13\x00\x01\x01", 14);
  s += std::string(498, '\0');
  for (int i = 0; i < blocks; ++i) {
    s += "Subject: " + label + " message " + std::to_string(i) +
         "\r\nFrom: carol@example.org\r\n\r\nSee you on Thursday.\r\n";
    for (int j = 0; j < 96; ++j) s += static_cast<char>((i * 131 + j * 17) & 0xFF);
  }
  return s;
}

// An Outlook Express folder store.
std::string fakeDbx(const std::string& folder, int messages) {
  std::string s("\xCF\xAD\x12\xFE\xC5\xFD\x74\x6F\x66\xE3\xD1\x11\x9A\x4E\x00\xC0\x4F\xA3\x09\xD4",
                20);
  s += std::string(300, '\0');
  for (int i = 0; i < messages; ++i) {
    s += "Return-Path: <news@example.com>\r\nSubject: " + folder + " " + std::to_string(i + 1) +
         "\r\nContent-Type: text/plain\r\n\r\nThe club meets on Friday at eight.\r\n\r\n";
  }
  return s;
}

std::string eml(const std::string& from, const std::string& subject, const std::string& body) {
  return "From: " + from + "\r\nTo: alice@example.com\r\nSubject: " + subject +
         "\r\nDate: Fri, 2 Jun 2023 10:15:00 +0200\r\nMIME-Version: 1.0\r\n"
         "Content-Type: text/plain; charset=\"iso-8859-1\"\r\n\r\n" + body + "\r\n";
}

std::string messageStore(const std::string& name) {
  std::string s("\xEF\xCD\xAB\x89\x20\x06\x00\x00", 8);
  s += name;
  s += std::string(4096, '\0');
  return s;
}

std::string contact(const std::string& name, const std::string& mail) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<c:contact c:Version=\"1\" "
         "xmlns:c=\"http://schemas.microsoft.com/Contact\">\r\n\t<c:NameCollection>"
         "<c:Name><c:FormattedName>" + name + "</c:FormattedName></c:Name></c:NameCollection>"
         "\r\n\t<c:EmailAddressCollection><c:EmailAddress><c:Address>" + mail +
         "</c:Address></c:EmailAddress></c:EmailAddressCollection>\r\n</c:contact>\r\n";
}

std::vector<SampleFile> contactFiles() {
  const std::u16string folder = u"%USERPROFILE%\\Contacts\\";
  return {
      {folder + u"Carol Smith.contact", contact("Carol Smith", "carol@example.org"), kMailTime},
      {folder + u"Dave Miller.contact", contact("Dave Miller", "dave@example.net"), kMailTime},
  };
}

std::string calendar(const std::string& name, const std::string& event) {
  return "BEGIN:VCALENDAR\r\nPRODID:-//Microsoft Corporation//Windows Calendar 1.0//EN\r\n"
         "VERSION:2.0\r\nX-WR-CALNAME:" + name + "\r\nBEGIN:VEVENT\r\nDTSTART:20230610T090000\r\n"
         "DTEND:20230610T100000\r\nSUMMARY:" + event + "\r\nUID:" + name +
         "-0001\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

std::vector<uint8_t> outlookHeader() {
  // Flags, the personal folders provider's identifier and its DLL name.
  std::vector<uint8_t> header = {0x00, 0x00, 0x00, 0x00, 0x38, 0xA1, 0xBB, 0x10, 0x05, 0xE5,
                                 0x10, 0x1A, 0xA1, 0xBB, 0x08, 0x00, 0x2B, 0x2A, 0x56, 0xC2,
                                 0x00, 0x00};
  for (char c : std::string("mspst.dll")) header.push_back(static_cast<uint8_t>(c));
  header.resize(53, 0x00);
  header[40] = 0x4E;
  header[41] = 0x49;
  return header;
}

SampleRegValue binaryValue(const std::u16string& key, const std::u16string& name,
                           std::vector<uint8_t> data) {
  SampleRegValue value;
  value.root = RegRoot::CurrentUser;
  value.key = key;
  value.value.name = name;
  value.value.type = kRegBinary;
  value.value.data = std::move(data);
  return value;
}

}  // namespace

std::vector<uint8_t> outlookPathValue(std::u16string_view path, PstPathEncoding encoding) {
  std::vector<uint8_t> data = outlookHeader();
  switch (encoding) {
    case PstPathEncoding::Wide:
      data.push_back(0x00);
      for (char16_t unit : path) {
        data.push_back(static_cast<uint8_t>(unit & 0xFF));
        data.push_back(static_cast<uint8_t>(unit >> 8));
      }
      data.insert(data.end(), {0x00, 0x00});
      return data;
    case PstPathEncoding::NarrowAfterGap:
      data.insert(data.end(), {0x00, 0x00, 0x00, 0x00});
      break;
    case PstPathEncoding::Narrow:
      break;
  }
  // 8-bit text in the machine's code page; the sample's paths are plain Latin.
  for (char16_t unit : path) data.push_back(unit < 0x100 ? static_cast<uint8_t>(unit) : '?');
  data.push_back(0x00);
  return data;
}

SampleData sampleOutlook(std::u16string_view user) {
  SampleMachineRecipe recipe;
  recipe.user = user;
  const std::u16string local = u"%LOCALAPPDATA%\\Microsoft\\Outlook\\";
  SampleData d;
  d.name = "outlook";
  d.files = {
      {local + u"Outlook.pst", fakePst("Inbox", 60), kMailTime},
      {local + u"archive.pst", fakePst("Archive", 30), kMailTime},
      {u"D:\\Mail\\Family.pst", fakePst("Family", 20), kMailTime},
      // Beside the stores: not named by a profile, not collected.
      {local + u"Outlook.pst.tmp", "half-written", kMailTime},
  };
  d.values = {
      binaryValue(kProfiles + u"0a0d020000000000c000000000000046", u"01020fff",
                  outlookPathValue(expandSampleVariables(recipe, local + u"Outlook.pst"),
                                   PstPathEncoding::Wide)),
      binaryValue(kProfiles + u"13dbb0c8aa05101a9bb000aa002fc45a", u"01020fff",
                  outlookPathValue(expandSampleVariables(recipe, local + u"archive.pst"),
                                   PstPathEncoding::NarrowAfterGap)),
      binaryValue(kProfiles + u"9207f3e0a3b11019908b08002b2a56c2", u"01020fff",
                  outlookPathValue(u"D:\\Mail\\Family.pst", PstPathEncoding::Narrow)),
      // The address book service: a header and nothing after it.
      binaryValue(kProfiles + u"9375cff0413111d3b88a00104b2a6676", u"01020fff", outlookHeader()),
      // The profile's own settings section has no path value at all.
      sampleText(RegRoot::CurrentUser, kProfiles + u"0a0d020000000000c000000000000046",
                 u"001e3001", u"Personal Folders"),
      sampleText(RegRoot::CurrentUser, kProfiles + u"f86ed2903a4a11cfb57e524153480001",
                 u"001e3d09", u"MSEMS"),
  };
  return d;
}

SampleData sampleOutlookExpress() {
  struct Identity {
    std::u16string id;
    std::u16string name;
    bool hasStore;
  };
  const Identity identities[] = {
      {u"{2A1F9C4E-5B7D-4E21-9C3A-0F6B2D8E1A41}", u"Main Identity", true},
      {u"{7C3E1B20-94D6-4A8F-B5E2-3D1C0A9F6B72}", u"Work", false},
      {u"{E4B8D2A6-1F3C-4D57-8A9E-6C2B0F4D3E15}", u"Kids", true},
  };
  SampleData d;
  d.name = "outlook express";
  d.values.push_back(
      sampleText(RegRoot::CurrentUser, u"Identities", u"Default User ID", identities[0].id));
  for (const Identity& identity : identities) {
    const std::u16string key = u"Identities\\" + identity.id;
    d.values.push_back(sampleText(RegRoot::CurrentUser, key, u"Username", identity.name));
    d.values.push_back(sampleText(RegRoot::CurrentUser, key, u"User ID", identity.id));
    if (!identity.hasStore) {
      d.values.push_back(sampleText(RegRoot::CurrentUser,
                                    key + u"\\Software\\Microsoft\\Outlook Express\\5.0",
                                    u"LastStorageVersion", u"5"));
      continue;
    }
    const std::u16string store =
        u"%USERPROFILE%\\AppData\\Local\\Identities\\" + identity.id +
        u"\\Microsoft\\Outlook Express";
    d.values.push_back(sampleText(RegRoot::CurrentUser,
                                  key + u"\\Software\\Microsoft\\Outlook Express\\5.0",
                                  u"Store Root", store, kRegExpandSz));
    const std::string who = wideToUtf8(identity.name);
    d.files.push_back({store + u"\\Inbox.dbx", fakeDbx(who + " Inbox", 12), kMailTime});
    d.files.push_back({store + u"\\Sent Items.dbx", fakeDbx(who + " Sent", 5), kMailTime});
    d.files.push_back({store + u"\\Folders.dbx", fakeDbx("Folders", 1), kMailTime});
  }
  d.files.push_back({u"%USERPROFILE%\\AppData\\Local\\Identities\\" + identities[0].id +
                         u"\\Microsoft\\Outlook Express\\Club\\Newsletters.dbx",
                     fakeDbx("Newsletters", 3), kMailTime});
  const std::u16string book = u"%APPDATA%\\Microsoft\\Address Book\\%USERNAME%.wab";
  d.files.push_back({book,
                     std::string("\x9C\xCB\xCB\x8D\x13\x75\xD2\x11\x91\x58\x00\xC0\x4F\x79\x56\xA4",
                                 16) + std::string(512, '\0') + "Carol Smith carol@example.org",
                     kMailTime});
  d.values.push_back(sampleText(RegRoot::CurrentUser, u"Software\\Microsoft\\WAB\\WAB4\\Wab File Name",
                                u"", book, kRegSz, /*expandVariables=*/true));
  return d;
}

SampleData sampleWindowsMail() {
  const std::u16string store = u"%USERPROFILE%\\AppData\\Local\\Microsoft\\Windows Mail";
  SampleData d;
  d.name = "windows mail";
  d.values = {sampleText(RegRoot::CurrentUser, u"Software\\Microsoft\\Windows Mail",
                         u"Store Root", store, kRegExpandSz)};
  d.files = {
      {store + u"\\Mail.MSMessageStore", messageStore("Windows Mail"), kMailTime},
      {store + u"\\Local Folders\\Inbox\\{5B3F8A21-0C4D-4E6F-9A12-7D8E3B4C5F60}.eml",
       eml("carol@example.org", "Garden party", "Bring the big umbrella."), kMailTime},
      {store + u"\\Local Folders\\Sent Items\\{A1C2E3F4-5B6D-4E7F-8091-A2B3C4D5E6F7}.eml",
       eml("alice@example.com", "Re: Garden party", "Will do!"), kMailTime},
      {store + u"\\Local Folders\\Inbox\\winmail.fol", "Inbox", kMailTime},
      // The spelling dictionary belongs to the computer, not to the mail.
      {store + u"\\UserDictionary.dic", "colour\r\nneighbour\r\n", kMailTime},
  };
  for (SampleFile& file : contactFiles()) d.files.push_back(std::move(file));
  return d;
}

SampleData sampleWindowsLiveMail() {
  const std::u16string store = u"%LOCALAPPDATA%\\Microsoft\\Windows Live Mail";
  SampleData d;
  d.name = "windows live mail";
  d.values = {sampleText(RegRoot::CurrentUser, u"Software\\Microsoft\\Windows Live Mail",
                         u"Store Root", store, kRegExpandSz)};
  d.files = {
      {store + u"\\Mail.MSMessageStore", messageStore("Windows Live Mail"), kMailTime},
      {store + u"\\Hotmail (alice)\\account{8C2F1D4A-3B5E-4F60-9172-8394A5B6C7D8}.oeaccount",
       "<?xml version=\"1.0\" encoding=\"utf-16\" ?>\r\n<MessageAccount>"
       "<Account_Name type=\"SZ\">Hotmail (alice)</Account_Name></MessageAccount>\r\n",
       kMailTime},
      {store + u"\\Hotmail (alice)\\Inbox\\{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}.eml",
       eml("dave@example.net", "Photos", "The holiday photos are on the stick."), kMailTime},
      {store + u"\\Drafts\\{11223344-5566-7788-99AA-BBCCDDEEFF00}.eml",
       eml("alice@example.com", "Shopping", "Milk, bread, apples"), kMailTime},
      {store + u"\\UserDictionary-en-gb.dic", "colour\r\n", kMailTime},
  };
  for (SampleFile& file : contactFiles()) d.files.push_back(std::move(file));
  return d;
}

SampleData sampleWindowsCalendar() {
  const std::u16string folder = u"%LOCALAPPDATA%\\Microsoft\\Windows Calendar";
  SampleData d;
  d.name = "windows calendar";
  d.files = {
      {folder + u"\\Calendars\\%USERNAME%'s Calendar.ics",
       calendar("Home", "Dentist"), kMailTime},
      {folder + u"\\Calendars\\Club.ics", calendar("Club", "Committee meeting"), kMailTime},
      {folder + u"\\Settings.xml",
       "<?xml version=\"1.0\"?>\r\n<Settings><View>Month</View></Settings>\r\n", kMailTime},
  };
  return d;
}

std::vector<SampleData> sampleMailA(std::u16string_view user) {
  return {sampleOutlook(user), sampleOutlookExpress(), sampleWindowsMail(),
          sampleWindowsLiveMail(), sampleWindowsCalendar()};
}

}  // namespace zq
