// The wizard's pages on the terminal, driven by typed answers: ticking, the
// destination choice with its checks, Cancel with its question, and the
// passphrase prompt with its retries.
#include "stub/terminal_flow.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "core/console_view.h"
#include "stub/restore_list.h"
#include "stub/stub_texts.h"
#include "stub_test_support.h"

namespace zq {
namespace {

using stubtest::ArchiveRecipe;
using stubtest::TargetComputer;

// The answers as the terminal's input, and everything the flow printed.
class Conversation {
 public:
  explicit Conversation(const std::string& answers) : answers_(answers) {
    in_ = fmemopen(answers_.data(), answers_.size(), "r");
    out_ = open_memstream(&buffer_, &size_);
  }
  ~Conversation() {
    if (in_) std::fclose(in_);
    if (out_) std::fclose(out_);
    std::free(buffer_);
  }
  std::FILE* in() { return in_; }
  std::FILE* out() { return out_; }
  std::string printed() {
    std::fflush(out_);
    return std::string(buffer_, size_);
  }

 private:
  std::string answers_;
  std::FILE* in_ = nullptr;
  std::FILE* out_ = nullptr;
  char* buffer_ = nullptr;
  size_t size_ = 0;
};

struct Flow {
  explicit Flow(const std::string& product, const std::string& passphrase = {})
      : body(makeBody(product, passphrase)) {
    std::string why;
    EXPECT_TRUE(reader.open(&why)) << why;
  }
  int run(Conversation& talk) {
    std::string why;
    EXPECT_TRUE(reader.readRecords(&why)) << why;
    std::vector<RestoreListEntry> list = buildRestoreList(reader.trailer());
    Prompter prompter(talk.in(), talk.out(), false);
    ConsoleView view(talk.out(), false);
    return runTerminalFlow(reader, list, {}, prompter, talk.out(), view);
  }

  static testing::Bytes makeBody(const std::string& product, const std::string& passphrase) {
    ArchiveRecipe recipe;
    recipe.product = product;
    recipe.passphrase = passphrase;
    recipe.files = {{"Manual", "desktop", u"", u"C:\\a\\", u"report.doc", "report"},
                  {"Word", "desktop", u"", u"C:\\a\\", u"letter.doc", "letter"}};
    return stubtest::buildBody(recipe, testing::seededStub(100));
  }

  testing::Bytes body;
  MemorySource source{body};
  ArchiveReader reader{source};
};

bool has(const std::string& text, std::u16string_view part) {
  return text.find(wideToUtf8(part)) != std::string::npos;
}

TEST(TerminalFlow, BackupEditionTicksEntriesAndTakesAChosenFolder) {
  TargetComputer target;
  Flow flow("Zarvo Backup Prime");
  // Untick Word; at the destination try Cancel but say No, choose a folder,
  // first without a name; then restore.
  Conversation talk("2\n\nq\nn\n2\n\nC:\\Chosen\n\n");
  EXPECT_EQ(flow.run(talk), kExitRestored);
  const std::string printed = talk.printed();
  EXPECT_TRUE(has(printed, u"Welcome to the Zarvo Backup Prime Restore Wizard!")) << printed;
  EXPECT_TRUE(has(printed, stubtext::kWelcomeBackup));
  EXPECT_TRUE(has(printed, u"   2. [ ] Word"));
  EXPECT_TRUE(has(printed, u"Are you sure you want to close Zarvo Backup Prime Restore?"));
  EXPECT_TRUE(has(printed, stubtext::kNoDestination));
  EXPECT_EQ(target.content(u"C:\\Chosen\\Manual\\Desktop\\report.doc"), "report");
  EXPECT_EQ(target.content(u"C:\\Chosen\\Word\\Desktop\\letter.doc"), "<missing>");
  EXPECT_TRUE(has(printed, u"  Manually selected files: restored, 1 file restored"));
}

TEST(TerminalFlow, TransferEditionRestoresEverythingOrNothingWhenCancelled) {
  const struct {
    const char* answers;
    int status;
  } cases[] = {
      {"1\nq\ny\n", kExitFailed},  // Cancel confirmed on the ready page
      {"1\n", kExitFailed},        // the input ends before Restore
      {"\n\n", kExitRestored},     // detect (the default), restore
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answers);
    TargetComputer target;
    Flow flow("Quillo Transfer Prime");
    Conversation talk(c.answers);
    EXPECT_EQ(flow.run(talk), c.status);
    const std::string printed = talk.printed();
    EXPECT_TRUE(has(printed, stubtext::kWelcomeTransfer));
    EXPECT_TRUE(has(printed, u"  [x] Word"));  // shown, not offered for ticking
    const bool restored = c.status == kExitRestored;
    EXPECT_EQ(target.content(u"C:\\users\\bob\\Desktop\\letter.doc"),
              restored ? "letter" : "<missing>");
    EXPECT_EQ(has(printed, u"Cancelled; nothing was restored."), !restored);
  }
}

TEST(TerminalFlow, PassphraseIsAskedUntilItOpensTheArchive) {
  {
    Flow flow("Quillo Transfer Prime", "Secret Words");
    Conversation talk("abc\nSecret Birds\nSecret Words\n");
    Prompter prompter(talk.in(), talk.out(), false);
    EXPECT_TRUE(askPassphrase(flow.reader, prompter, talk.out()));
    const std::string printed = talk.printed();
    size_t refusals = 0;
    for (size_t at = printed.find("Incorrect passphrase!"); at != std::string::npos;
         at = printed.find("Incorrect passphrase!", at + 1)) {
      ++refusals;
    }
    EXPECT_EQ(refusals, 2u);
    EXPECT_TRUE(has(printed, stubtext::kPassphrasePrompt));
  }
  {  // The input ends: the dialog's Cancel.
    Flow flow("Quillo Transfer Prime", "Secret Words");
    Conversation talk("abcdef\n");
    Prompter prompter(talk.in(), talk.out(), false);
    EXPECT_FALSE(askPassphrase(flow.reader, prompter, talk.out()));
  }
}

}  // namespace
}  // namespace zq
