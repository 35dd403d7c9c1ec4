// make-sample-machine DIR [--user NAME] [--computer NAME] [--windows xp|vista|7|10]
//                     [--with-programs]
//
// Makes a sample Windows computer (a Wine-style prefix) in DIR for the demo
// and for trying the programs by hand.
#include <cstdio>
#include <string>
#include <string_view>

#include "core/text.h"
#include "testing/sample_machine.h"
#include "testing/sample_mail_a.h"
#include "testing/sample_mail_b.h"
#include "testing/sample_web_a.h"
#include "testing/sample_web_b.h"

namespace {

constexpr char kUsage[] =
    "usage: make-sample-machine DIR [--user NAME] [--computer NAME] [--windows xp|vista|7|10]\n"
    "                           [--with-programs]\n"
    "  --with-programs  also give the computer the data of every supported program\n";

}  // namespace

int main(int argc, char** argv) {
  zq::SampleMachineRecipe recipe;
  std::string dir;
  bool withPrograms = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--user" && hasValue) {
      recipe.user = zq::utf8ToWide(argv[++i]);
    } else if (arg == "--computer" && hasValue) {
      recipe.computer = zq::wideUpper(zq::utf8ToWide(argv[++i]));
    } else if (arg == "--windows" && hasValue) {
      if (!zq::SampleWindowsVersion::byName(argv[++i], recipe.version)) {
        std::fputs(kUsage, stderr);
        return 2;
      }
    } else if (arg == "--with-programs") {
      withPrograms = true;
    } else if (!arg.starts_with("-") && dir.empty()) {
      dir = arg;
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (dir.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (withPrograms) {
    for (auto family : {zq::sampleMailA(recipe.user), zq::sampleMailB(recipe.user),
                        zq::sampleWebAPrograms(), zq::sampleWebBPrograms()})
      recipe.data.insert(recipe.data.end(), family.begin(), family.end());
  }
  std::string error;
  if (!zq::buildSampleMachine(recipe, dir, error)) {
    std::fprintf(stderr, "make-sample-machine: %s\n", error.c_str());
    return 1;
  }
  std::printf("Made a sample computer for user %s in %s\n", zq::wideToUtf8(recipe.user).c_str(),
              dir.c_str());
  return 0;
}
