#include "collectors/collector_table.h"

#include "collectors/browsers.h"
#include "collectors/firefox.h"
#include "collectors/my_documents.h"
#include "collectors/opera.h"
#include "collectors/outlook.h"
#include "collectors/outlook_express.h"
#include "collectors/windows_calendar.h"
#include "collectors/windows_mail.h"
#include "collectors/messengers.h"
#include "collectors/aim.h"
#include "collectors/google_desktop.h"
#include "collectors/media_player.h"
#include "collectors/mozilla_mail.h"
#include "collectors/eudora.h"
#include "collectors/palm_desktop.h"
#include "collectors/incredimail.h"
#include "collectors/pocomail.h"

namespace zq {

CollectorTable programCollectors() {
  CollectorTable table;
  table[static_cast<size_t>(catalogueIndex("My Documents"))] = collectMyDocuments;
  table[static_cast<size_t>(catalogueIndex("Firefox"))] = collectFirefox;
  table[static_cast<size_t>(catalogueIndex("Google Chrome"))] = collectGoogleChrome;
  table[static_cast<size_t>(catalogueIndex("Internet Explorer"))] = collectInternetExplorer;
  table[static_cast<size_t>(catalogueIndex("Opera"))] = collectOpera;
  table[static_cast<size_t>(catalogueIndex("Safari"))] = collectSafari;
  table[static_cast<size_t>(catalogueIndex("Outlook"))] = collectOutlook;
  table[static_cast<size_t>(catalogueIndex("Outlook Express"))] = collectOutlookExpress;
  table[static_cast<size_t>(catalogueIndex("Windows Mail"))] = collectWindowsMail;
  table[static_cast<size_t>(catalogueIndex("Windows Live Mail"))] = collectWindowsLiveMail;
  table[static_cast<size_t>(catalogueIndex("Windows Calendar"))] = collectWindowsCalendar;
  table[static_cast<size_t>(catalogueIndex("Skype"))] = collectSkype;
  table[static_cast<size_t>(catalogueIndex("ICQ"))] = collectIcq;
  table[static_cast<size_t>(catalogueIndex("AIM"))] = collectAim;
  table[static_cast<size_t>(catalogueIndex("Yahoo Messenger"))] = collectYahooMessenger;
  table[static_cast<size_t>(catalogueIndex("Windows Live Messenger"))] =
      collectWindowsLiveMessenger;
  table[static_cast<size_t>(catalogueIndex("Google Desktop"))] = collectGoogleDesktop;
  table[static_cast<size_t>(catalogueIndex("Windows Media Player"))] = collectWindowsMediaPlayer;
  table[static_cast<size_t>(catalogueIndex("Thunderbird"))] = collectThunderbird;
  table[static_cast<size_t>(catalogueIndex("Eudora"))] = collectEudora;
  table[static_cast<size_t>(catalogueIndex("Palm Desktop"))] = collectPalmDesktop;
  table[static_cast<size_t>(catalogueIndex("IncrediMail"))] = collectIncrediMail;
  table[static_cast<size_t>(catalogueIndex("PocoMail"))] = collectPocoMail;
  return table;
}

Collector missingCollector(size_t index) {
  return [index](Entries& entries) {
    if (entries.errorText().empty()) entries.setErrorText(collectorFailureText(index));
    return false;
  };
}

std::vector<CollectorStep> collectorSteps(const ProgramSelection& selection,
                                          const CollectorTable& table) {
  std::vector<CollectorStep> steps;
  for (size_t index : collectorRunOrder()) {
    if (!selection[index]) continue;
    Collector collect = table[index] ? table[index] : missingCollector(index);
    steps.push_back({std::string(programCatalogue()[index].name), std::move(collect)});
  }
  return steps;
}

bool runCollectorSteps(const std::vector<CollectorStep>& steps, Entries& entries) {
  for (const CollectorStep& step : steps) {
    if (!step.collect(entries)) return false;
  }
  return true;
}

}  // namespace zq
