#include "core/registry_hive.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace zq {
namespace {

std::string readFixture(const std::string& name) {
  std::ifstream in(std::string(ZQ_FIXTURES_DIR) + "/wineprefix/" + name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(RegistryHiveRoundTrip, FixtureFilesSerializeToTheirOwnBytes) {
  for (const char* name : {"user.reg", "system.reg", "userdef.reg", "user-after-reg-tests.reg"}) {
    SCOPED_TRACE(name);
    std::string text = readFixture(name);
    ASSERT_FALSE(text.empty());
    RegistryHive hive;
    std::string error;
    ASSERT_TRUE(hive.parse(text, name, error)) << error;
    EXPECT_EQ(hive.serialize(), text);
    EXPECT_EQ(hive.serializeRewritten(), text);
  }
}

}  // namespace
}  // namespace zq
