#include "util/utf8_path.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "test_support.h"

namespace erpsync::util {
namespace {

namespace fs = std::filesystem;

// Names from several scripts and planes, with the characters folder and company names really hold.
const char* const kNames[] = {"BR01", "Şube Çay özel", "茶茶茶茶茶", "😀a'b]c", "𝄞 𠜎 🇮🇳", "ñ € ⌘ (1)"};

TEST(Utf8Path, NamesInEveryScriptRoundTrip) {
  for (const char* name : kNames) {
    EXPECT_EQ(pathToUtf8(pathFromUtf8(name)), name);
    // A name joined under a folder is still one part, read back as written.
    const fs::path joined = fs::path("base") / pathFromUtf8(name);
    EXPECT_EQ(pathToUtf8(joined.filename()), name);
    EXPECT_EQ(joined.parent_path(), fs::path("base"));
  }
  EXPECT_TRUE(pathFromUtf8("").empty());
  EXPECT_EQ(pathToUtf8(fs::path()), "");
}

TEST(Utf8Path, AFileNamedInUtf8IsTheFileTheSystemLists) {
  test::TempDir dir;
  for (const char* name : kNames) {
    const fs::path file = dir.path() / pathFromUtf8(std::string(name) + ".txt");
    std::ofstream(file, std::ios::binary) << name;
    ASSERT_TRUE(fs::is_regular_file(file)) << name;
  }
  int found = 0;
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    const std::string listed = pathToUtf8(entry.path().stem());
    EXPECT_EQ(test::readFile(entry.path()), listed);
    ++found;
  }
  EXPECT_EQ(found, static_cast<int>(std::size(kNames)));
}

TEST(Utf8Path, TextThatIsNotUtf8NeverThrows) {
  const std::string broken = "a\xff\xc3(b\xe2\x82";
  fs::path p;
  ASSERT_NO_THROW(p = pathFromUtf8(broken));
  std::string back;
  ASSERT_NO_THROW(back = pathToUtf8(p));
#ifdef _WIN32
  // Windows names are UTF-16: what cannot be read becomes the replacement character.
  EXPECT_EQ(back.front(), 'a');
  EXPECT_NE(back.find("\xef\xbf\xbd"), std::string::npos);
#else
  EXPECT_EQ(back, broken);  // bytes as they are
#endif
}

}  // namespace
}  // namespace erpsync::util
