// The section lookup is cached: after any sequence of writes a file must read
// and write exactly as one loaded afresh before every step.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "connection/ini_file.h"
#include "support/temp_dir.h"

namespace kvarta {
namespace {

TEST(IniSectionIndex, WritesAndReadsAgreeWithAFreshlyLoadedFile) {
  test::TempDir dir;
  const std::string path = dir.File("book.ini");
  IniFile kept;
  kept.Load(path);
  std::mt19937 random(7);
  for (int step = 0; step < 300; ++step) {
    // Few sections and keys, so that most writes insert into the middle of
    // the file, and keys that read as headers once written.
    const std::string section = "S" + std::to_string(random() % 12);
    const std::string key = random() % 20 == 0 ? "[S" + std::to_string(random() % 12) + "]"
                                               : "K" + std::to_string(random() % 5);
    const std::string value = std::to_string(step);
    SCOPED_TRACE("step " + std::to_string(step) + ": [" + section + "] " + key);

    IniFile fresh(path);
    fresh.WriteString(section, key, value);
    kept.WriteString(section, key, value);
    ASSERT_EQ(kept.Bytes(), fresh.Bytes());
    ASSERT_TRUE(fresh.SaveAs(path));

    const std::string probe = "S" + std::to_string(random() % 12);
    const IniFile reloaded(path);
    EXPECT_EQ(kept.SectionExists(probe), reloaded.SectionExists(probe));
    for (int k = 0; k < 5; ++k) {
      const std::string name = "K" + std::to_string(k);
      EXPECT_EQ(kept.ReadString(probe, name, "-"), reloaded.ReadString(probe, name, "-"));
    }
  }
}

}  // namespace
}  // namespace kvarta
