// The AIM collector and the reader of its settings file, which says whether
// conversations are logged and where: the entry writer asks the reader for
// every "settings.xml" it stores under the tag "aim" and stores the log
// folder beside it.
#pragma once

#include <string>

#include "archive/entries.h"

namespace zq {

// The settings folder of the local application data ("aim\settings\"), tag
// "aim". Announces nothing. The log folders come with it through the entry
// writer's hook (readAimLogSettings).
bool collectAim(Entries& entries);

// Reads an AIM settings file. Logging to the default place (a "loggingLogIM"
// line whose value is "yes") gives My Documents\AIMLogger under the tag
// "aimlogsdocs"; a "loggingLogPath" line gives its folder (in lower case)
// under "aimlogs". Logging off, or a file that cannot be read, gives an
// empty folder. True when a folder was found.
bool readAimLogSettings(const std::u16string& settingsFile, std::u16string& folder,
                        std::string& tag);

}  // namespace zq
