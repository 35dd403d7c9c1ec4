#include "testing/sample_web_b.h"

#include <string>

namespace zq {

namespace {

// 2023-05-14 10:20:30 UTC, like the other sample files.
constexpr int64_t kSampleTime = 1684059630;

// A database file of some size: a header, then rows that compress a little.
std::string fakeDatabase(const std::string& header, int rows) {
  std::string s = header;
  s.resize(64, '\0');
  for (int i = 0; i < rows; ++i) {
    s += "row " + std::to_string(i) + ": " + std::string(static_cast<size_t>(i % 23), 'x') + "\n";
  }
  return s;
}

SampleRegValue userText(std::u16string key, std::u16string name, std::u16string_view text) {
  return sampleText(RegRoot::CurrentUser, std::move(key), std::move(name), text, kRegSz,
                    /*expandVariables=*/true);
}

constexpr std::u16string_view kPassportKey =
    u"Software\\Microsoft\\MSNMessenger\\PerPassportSettings\\1234567890";
constexpr std::u16string_view kMediaPlayerKey = u"SOFTWARE\\Microsoft\\MediaPlayer\\Preferences";

}  // namespace

SampleData sampleSkype() {
  SampleData d;
  d.name = "skype";
  const std::u16string skype = u"%APPDATA%\\Skype\\";
  d.files = {
      {skype + u"shared.xml",
       "<?xml version=\"1.0\"?>\r\n<config version=\"1.0\">\r\n  <Lib><Account>"
       "<Default>alice.smith</Default></Account></Lib>\r\n</config>\r\n",
       kSampleTime},
      {skype + u"alice.smith\\config.xml",
       "<?xml version=\"1.0\"?>\r\n<config><UI><Language>en</Language></UI></config>\r\n",
       kSampleTime},
      {skype + u"alice.smith\\main.db", fakeDatabase("SQLite format 3", 120), kSampleTime},
  };
  return d;
}

SampleData sampleIcq() {
  SampleData d;
  d.name = "icq";
  const std::u16string icq = u"%APPDATA%\\ICQ\\";
  d.files = {
      {icq + u"Owner.mdb", fakeDatabase("Standard Jet DB", 40), kSampleTime},
      {icq + u"123456789\\Messages.mdb", fakeDatabase("Standard Jet DB", 200), kSampleTime},
      {icq + u"icq.ini", "[Settings]\r\nLastUIN=123456789\r\n", kSampleTime},
  };
  return d;
}

SampleData sampleAim(AimLogging logging) {
  SampleData d;
  d.name = "aim";
  const std::u16string settings = u"%LOCALAPPDATA%\\aim\\settings\\";
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<settings>\r\n"
      "  <setting name=\"loggingLogIM\" value=\"";
  xml += logging == AimLogging::Off ? "no" : "yes";
  xml += "\"/>\r\n";
  if (logging == AimLogging::ChosenFolder) {
    xml += "  <setting name=\"loggingLogPath\" value=\"D:\\AIM Logs\"/>\r\n";
  }
  xml += "  <setting name=\"soundsOn\" value=\"yes\"/>\r\n</settings>\r\n";
  d.files = {
      {settings + u"settings.xml", xml, kSampleTime},
      {settings + u"alice123\\buddylist.xml",
       "<buddylist><group name=\"Friends\"><buddy>bob456</buddy></group></buddylist>\r\n",
       kSampleTime},
      {u"%USERPROFILE%\\Documents\\AIMLogger\\alice123\\bob456.html",
       "<html><body><b>bob456</b>: see you at eight</body></html>\r\n", kSampleTime},
      {u"D:\\AIM Logs\\alice123\\carol789.html",
       "<html><body><b>carol789</b>: the photos are up</body></html>\r\n", kSampleTime},
  };
  return d;
}

SampleData sampleYahooMessenger(bool virtualStore) {
  SampleData d;
  d.name = "yahoo messenger";
  const std::u16string profiles =
      virtualStore ? u"%LOCALAPPDATA%\\VirtualStore\\Program Files\\Yahoo!\\Messenger\\Profiles\\"
                   : u"%ProgramFiles%\\Yahoo!\\Messenger\\Profiles\\";
  d.files = {
      {profiles + u"alice_y\\Archive\\Messages\\bob_y\\20230514-alice_y.dat",
       fakeDatabase("YMSG", 30), kSampleTime},
      {profiles + u"alice_y\\Archive\\Messages\\carol_y\\20230510-alice_y.dat",
       fakeDatabase("YMSG", 12), kSampleTime},
      {profiles + u"alice_y\\Ignore.txt", "spammer_42\r\n", kSampleTime},
  };
  return d;
}

SampleData sampleWindowsLiveMessengerAccount(const std::u16string& logFolder) {
  SampleData d;
  d.name = "windows live messenger account";
  d.values = {userText(std::u16string(kPassportKey), u"MessageLogPath", logFolder)};
  return d;
}

SampleData sampleWindowsLiveMessenger(const std::u16string& logFolder) {
  SampleData d = sampleWindowsLiveMessengerAccount(logFolder);
  d.name = "windows live messenger";
  const std::u16string data = u"%LOCALAPPDATA%\\Microsoft\\Messenger\\";
  const std::u16string logs = logFolder + u"\\";
  d.files = {
      {data + u"alice@example.com\\ObjectStore\\UserTile\\tile.dat", fakeDatabase("TILE", 20),
       kSampleTime},
      {data + u"alice@example.com\\ObjectStore\\Emoticons\\smile.dat", fakeDatabase("EMO", 8),
       kSampleTime},
      {data + u"alice@example.com\\activesharingfolder.dat", "share", kSampleTime},
      {data + u"alice@example.com\\Sharing Folders\\bob\\photo.jpg", "shared photo",
       kSampleTime},
      {data + u"alice@example.com\\SharingMetadata\\index.dat", "meta", kSampleTime},
      {logs + u"bob1234.xml",
       "<?xml version=\"1.0\"?>\r\n<?xml-stylesheet type='text/xsl' href='MessageLog.xsl'?>\r\n"
       "<Log FirstSessionID=\"1\"><Message><Text>Hello Bob</Text></Message></Log>\r\n",
       kSampleTime},
      {logs + u"MessageLog.xsl", "<xsl:stylesheet version=\"1.0\"/>\r\n", kSampleTime},
      {logs + u"readme.txt", "not a message log\r\n", kSampleTime},
      {logs + u"Old\\carol5678.xml", "<Log/>\r\n", kSampleTime},
  };
  return d;
}

SampleData sampleGoogleDesktop(const std::u16string& indexFolder,
                               const std::u16string& pluginFolder, bool withPlugins) {
  SampleData d;
  d.name = "google desktop";
  const std::u16string key = u"software\\google\\google desktop";
  d.values = {userText(key, u"data_dir", indexFolder), userText(key, u"plugin_dir", pluginFolder)};
  d.files = {
      {indexFolder + u"\\fi_index.cf", fakeDatabase("GDIX", 150), kSampleTime},
      {indexFolder + u"\\repository\\rp_0001.dat", fakeDatabase("GDRP", 60), kSampleTime},
  };
  if (withPlugins) {
    d.files.push_back({pluginFolder + u"\\weather\\gadget.gg", "<gadget name=\"Weather\"/>\r\n",
                       kSampleTime});
  }
  return d;
}

SampleData sampleWindowsMediaPlayerInstalled(const std::u16string& ripFolder) {
  SampleData d;
  d.name = "windows media player installed";
  d.folders = {u"%ProgramFiles%\\Windows Media Player\\Skins",
               u"%ProgramFiles%\\Windows Media Player\\Visualizations"};
  d.values = {userText(std::u16string(kMediaPlayerKey), u"SavedTrackFoldersRipDir", ripFolder)};
  return d;
}

SampleData sampleWindowsMediaPlayer(const std::u16string& ripFolder) {
  SampleData d = sampleWindowsMediaPlayerInstalled(ripFolder);
  d.name = "windows media player";
  const std::u16string program = u"%ProgramFiles%\\Windows Media Player\\";
  // Without a rip folder value the playlists still lie in the usual place.
  const std::u16string rip = ripFolder.empty() ? u"%USERPROFILE%\\Music" : ripFolder;
  d.files = {
      {u"%APPDATA%\\Microsoft\\Media Player\\CurrentDatabase_372.wmdb",
       fakeDatabase("WMDB", 100), kSampleTime},
      {program + u"Skins\\Revert.wmz", fakeDatabase("PK", 10), kSampleTime},
      {program + u"Visualizations\\Bars.xml", "<visualization name=\"Bars\"/>\r\n", kSampleTime},
      {rip + u"\\Playlists\\Road Trip.wpl",
       "<?wpl version=\"1.0\"?>\r\n<smil><body><seq><media src=\"..\\Evening Song.mp3\"/>"
       "</seq></body></smil>\r\n",
       kSampleTime},
      {rip + u"\\Playlists\\notes.txt", "to sort\r\n", kSampleTime},
  };
  return d;
}

std::vector<SampleData> sampleWebBPrograms() {
  return {sampleSkype(),
          sampleIcq(),
          sampleAim(AimLogging::ChosenFolder),
          sampleYahooMessenger(),
          sampleWindowsLiveMessenger(),
          sampleGoogleDesktop(),
          sampleWindowsMediaPlayer()};
}

}  // namespace zq
