// Names built from device data stay one name inside their folder.
#include "platform/file_names.h"

#include <gtest/gtest.h>

namespace kvarta {
namespace {

TEST(CleanFileNamePart, ReplacesWhatAFileNameCannotHoldAndKeepsTheRest) {
  EXPECT_EQ(CleanFileNamePart("Котельная №1"), "Котельная №1");
  EXPECT_EQ(CleanFileNamePart("../etc/passwd"), ".._etc_passwd");
  EXPECT_EQ(CleanFileNamePart("a\\b:c*d?e\"f<g>h|i"), "a_b_c_d_e_f_g_h_i");
  EXPECT_EQ(CleanFileNamePart(std::string("x\x01y\x7Fz\n", 6)), "x_y_z_");
  EXPECT_EQ(CleanFileNamePart("a\xC2\x85"
                              "b"),
            "a_b");  // C1 control
  EXPECT_EQ(CleanFileNamePart("a\xFF\xD0"
                              "b"),
            "a__b");  // malformed UTF-8
  EXPECT_EQ(CleanFileNamePart(".."), "__");
  EXPECT_EQ(CleanFileNamePart("."), "_");
  EXPECT_EQ(CleanFileNamePart("a..b"), "a..b");
  EXPECT_EQ(CleanFileNamePart(""), "");
}

}  // namespace
}  // namespace kvarta
