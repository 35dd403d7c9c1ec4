// The search result tree: three-state check propagation, removal, tree order,
// and "tree.zvb" (round trip and damaged files).
#include "selection/result_tree.h"

#include <gtest/gtest.h>

#include "selection/tree_zvb.h"

namespace zq {
namespace {

char stateLetter(CheckState s) {
  return s == CheckState::Checked ? 'x' : s == CheckState::Mixed ? '~' : '-';
}

// The tree as one line: "name[state](children)" in tree order.
std::string dump(const SearchNode& node) {
  std::string out;
  for (const SearchNode* c = node.firstChild; c; c = c->next) {
    out += std::string(c->name.begin(), c->name.end()) + "[" + stateLetter(c->state) + "]";
    if (c->hasChildren()) out += "(" + dump(*c) + ")";
    out += " ";
  }
  return out;
}

// C:\ holding Docs\{a.doc, Old\b.doc} and x.doc.
struct SmallTree {
  ResultTree tree;
  SearchNode* drive;
  SearchNode* docs;
  SearchNode* a;
  SearchNode* old;
  SearchNode* b;
  SearchNode* x;
  SmallTree() {
    drive = &tree.addChild(tree.root(), u"C:\\", u"C:\\", CheckState::Mixed);
    docs = &tree.addChild(*drive, u"Docs", u"C:\\");
    a = &tree.addChild(*docs, u"a.doc", u"C:\\Docs\\");
    old = &tree.addChild(*docs, u"Old", u"C:\\Docs\\");
    b = &tree.addChild(*old, u"b.doc", u"C:\\Docs\\Old\\");
    x = &tree.addChild(*drive, u"x.doc", u"C:\\");
  }
};

TEST(ResultTree, ChecksPropagateDownAndAncestorsShowMixed) {
  SmallTree t;
  EXPECT_EQ(dump(t.tree.root()), "C:\\[~](Docs[x](a.doc[x] Old[x](b.doc[x] ) ) x.doc[x] ) ");

  // Unticking one file leaves its folders mixed, never plainly checked.
  t.tree.userChecked(*t.b, CheckState::Unchecked);
  EXPECT_EQ(dump(t.tree.root()), "C:\\[~](Docs[~](a.doc[x] Old[-](b.doc[-] ) ) x.doc[x] ) ");
  t.tree.userChecked(*t.a, CheckState::Unchecked);
  EXPECT_EQ(dump(t.tree.root()), "C:\\[~](Docs[-](a.doc[-] Old[-](b.doc[-] ) ) x.doc[x] ) ");
  t.tree.userChecked(*t.x, CheckState::Unchecked);
  EXPECT_EQ(dump(t.tree.root()), "C:\\[-](Docs[-](a.doc[-] Old[-](b.doc[-] ) ) x.doc[-] ) ");

  // Ticking a folder (a click that would make it mixed counts as a tick)
  // ticks everything below it.
  t.tree.userChecked(*t.docs, CheckState::Mixed);
  EXPECT_EQ(dump(t.tree.root()), "C:\\[~](Docs[x](a.doc[x] Old[x](b.doc[x] ) ) x.doc[-] ) ");

  // The search's own changes are no clicks.
  t.tree.setBusy(true);
  t.tree.userChecked(*t.docs, CheckState::Unchecked);
  EXPECT_EQ(t.docs->state, CheckState::Checked);
}

TEST(ResultTree, RemovalTreeOrderAndPaths) {
  SmallTree t;
  EXPECT_EQ(t.tree.nodeCount(), 6u);
  EXPECT_EQ(t.tree.pathOf(*t.drive), u"C:\\");
  EXPECT_EQ(t.tree.pathOf(*t.b), u"C:\\Docs\\Old\\b.doc");
  EXPECT_EQ(t.tree.following(*t.b), t.x);
  EXPECT_EQ(t.tree.following(*t.docs, false), t.x);
  EXPECT_EQ(t.tree.following(*t.x), nullptr);

  t.tree.remove(*t.old);
  EXPECT_EQ(dump(t.tree.root()), "C:\\[~](Docs[x](a.doc[x] ) x.doc[x] ) ");
  EXPECT_EQ(t.tree.nodeCount(), 4u);
  t.tree.remove(*t.drive);
  EXPECT_TRUE(t.tree.empty());
  EXPECT_EQ(t.tree.nodeCount(), 0u);
}

TEST(TreeZvb, KeepsNodesNestingStatesAndTexts) {
  SmallTree t;
  t.tree.userChecked(*t.b, CheckState::Unchecked);
  t.a->imageIndex = -3;
  t.x->name = u"\u00e4\u20ac.doc";
  // A folder deeper than the old 260- and 1024-unit limits is kept whole.
  const std::u16string longFolder = u"C:\\" + std::u16string(2000, u'f') + u"\\";
  t.b->folder = longFolder;
  const std::string bytes = encodeResultTree(t.tree);
  EXPECT_EQ(bytes.substr(0, 6), std::string("ZQST\x01\x00", 6));

  ResultTree loaded;
  std::string error;
  ASSERT_TRUE(decodeResultTree(bytes, loaded, error)) << error;
  EXPECT_EQ(dump(loaded.root()), dump(t.tree.root()));
  EXPECT_EQ(loaded.root().firstChild->firstChild->firstChild->imageIndex, -3);
  EXPECT_EQ(loaded.pathOf(*loaded.root().firstChild->lastChild), u"C:\\\u00e4\u20ac.doc");
  EXPECT_EQ(loaded.root().firstChild->firstChild->lastChild->firstChild->folder, longFolder);
  EXPECT_EQ(encodeResultTree(loaded), bytes);
}

TEST(TreeZvb, DamagedFilesLoadAsNothing) {
  SmallTree t;
  const std::string good = encodeResultTree(t.tree);
  auto patched = [&](size_t at, std::string_view with) {
    std::string b = good;
    b.replace(at, with.size(), with);
    return b;
  };
  struct Case {
    const char* what;
    std::string bytes;
  };
  std::vector<Case> cases = {
      {"magic", patched(0, "ZQMS")},
      {"version", patched(4, std::string("\x02\x00", 2))},
      {"node count inflated", patched(12, std::string("\xff\xff\xff\x0f", 4))},
      {"node count one short", patched(12, std::string("\x05\x00\x00\x00", 4))},
      {"too many drives", patched(8, std::string("\x07\x00\x00\x00", 4))},
      {"state", patched(16, "\x07")},
      {"child count inflated", patched(17, std::string("\xff\xff\xff\xff", 4))},
      {"name length zero", patched(25, std::string("\x00\x00", 2))},
      {"name length too long", patched(25, std::string("\x00\x80", 2))},
      {"stray byte", good + "x"},
  };
  // Every cut, too.
  for (size_t n = 0; n < good.size(); ++n) cases.push_back({"cut", good.substr(0, n)});
  for (const Case& c : cases) {
    ResultTree loaded;
    loaded.addChild(loaded.root(), u"D:\\", u"D:\\");
    std::string error;
    EXPECT_FALSE(decodeResultTree(c.bytes, loaded, error)) << c.what << " " << c.bytes.size();
    EXPECT_TRUE(loaded.empty()) << c.what;
    EXPECT_EQ(error.rfind("tree.zvb: ", 0), 0u) << c.what;
  }
}

TEST(TreeZvb, NestingBeyondAnyRealPathIsRefused) {
  ResultTree deep;
  SearchNode* at = &deep.root();
  for (size_t i = 0; i <= kMaxTreeDepth + 1; ++i) at = &deep.addChild(*at, u"d", u"C:\\");
  ResultTree loaded;
  std::string error;
  EXPECT_FALSE(decodeResultTree(encodeResultTree(deep), loaded, error));
  EXPECT_NE(error.find("deeply"), std::string::npos) << error;
}

}  // namespace
}  // namespace zq
