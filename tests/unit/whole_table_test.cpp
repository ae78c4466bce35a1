#include <gtest/gtest.h>

#include "link/whole_table.h"
#include "table_controller_fake.h"

namespace kvarta {
namespace {

using Plan = std::vector<FieldRange>;

std::vector<int> Counts(const Plan& chunks) {
  std::vector<int> counts;
  int next = 0;
  for (const FieldRange& c : chunks) {
    EXPECT_EQ(c.first, next) << "chunks must follow each other";
    next += c.count;
    counts.push_back(c.count);
  }
  return counts;
}

TEST(ChunkTable, CutsTablesWithinTheByteLimits) {
  EXPECT_EQ(ChunkTable(3, false), (Plan{{3, 0, 122}}));
  EXPECT_EQ(ChunkTable(3, true), (Plan{{3, 0, 122}}));
  EXPECT_EQ(ChunkTable(9, true), (Plan{{9, 0, 104}}));
  EXPECT_EQ(ChunkTable(4, false), (Plan{{4, 0, 11}, {4, 11, 5}}));
  EXPECT_EQ(ChunkTable(4, true), (Plan{{4, 0, 10}, {4, 10, 6}}));
  EXPECT_EQ(Counts(ChunkTable(22, false)), (std::vector<int>{4, 4, 3}));
  EXPECT_EQ(Counts(ChunkTable(22, true)), (std::vector<int>{4, 4, 3}));
  EXPECT_EQ(Counts(ChunkTable(21, true)), (std::vector<int>{4, 1}));
  EXPECT_EQ(Counts(ChunkTable(19, false)), std::vector<int>(40, 1));
  EXPECT_EQ(ChunkTable(12, true), (Plan{{12, 0, 1}}));
  for (int t : {5, 6, 8, 11, 13, 14, 16, 18, -1, 23})
    EXPECT_TRUE(ChunkTable(t, false).empty()) << t;
}

TEST(ChunkTable, CutsAPartOfATableFromItsFirstFieldAndClipsItToTheTable) {
  EXPECT_EQ(ChunkFields({22, 3, 8}, false), (Plan{{22, 3, 4}, {22, 7, 4}}));
  EXPECT_EQ(ChunkFields({4, 5, 11}, true), (Plan{{4, 5, 10}, {4, 15, 1}}));
  EXPECT_EQ(ChunkFields({20, 4, 1}, false), (Plan{{20, 4, 1}}));
  EXPECT_EQ(ChunkFields({9, 100, 10}, false), (Plan{{9, 100, 4}}));
  EXPECT_TRUE(ChunkFields({9, 104, 1}, false).empty());
  EXPECT_TRUE(ChunkFields({5, 0, 1}, false).empty());
}

class WholeTableTest : public ::testing::Test, public test::TableControllerFake {};

TEST_F(WholeTableTest, ReadsAndWritesTableFourInChunks) {
  for (int i = 0; i < 352; ++i) controller.Table(4)[i] = static_cast<uint8_t>(i * 7);
  ASSERT_TRUE(ReadWholeTable(link, image, 4, &status));
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].range, (FieldRange{4, 0, 11}));
  EXPECT_EQ(requests[1].range, (FieldRange{4, 11, 5}));
  EXPECT_EQ(test::Bytes(image.Table(4), image.Table(4) + 352),
            test::Bytes(controller.Table(4), controller.Table(4) + 352));

  requests.clear();
  for (int i = 0; i < 352; ++i) image.Table(4)[i] = static_cast<uint8_t>(i * 3);
  ASSERT_TRUE(WriteWholeTable(link, image, 4, &status));
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].range, (FieldRange{4, 0, 10}));
  EXPECT_EQ(requests[1].range, (FieldRange{4, 10, 6}));
  EXPECT_EQ(requests[1].values.size(), 6u * 22);
  EXPECT_EQ(test::Bytes(image.Table(4), image.Table(4) + 352),
            test::Bytes(controller.Table(4), controller.Table(4) + 352));
}

TEST_F(WholeTableTest, FirstFailedChunkEndsTheTable) {
  for (int i = 0; i < 550; ++i) controller.Table(22)[i] = 0x11;
  Then([this](const test::TableRequest& rq) { return NormalAnswer(rq); });
  ThenFailedRequest();
  EXPECT_FALSE(ReadWholeTable(link, image, 22, &status));
  EXPECT_EQ(requests.size(), 1u + link.attempts);
  EXPECT_EQ(image.Field(22, 3)[49], 0x11);  // the first chunk stays read
  EXPECT_EQ(image.Field(22, 4)[0], 0x00);   // later fields keep their old values

  requests.clear();
  ThenErrorAnswer(2, 12);
  EXPECT_FALSE(WriteWholeTable(link, image, 22, &status));
  EXPECT_EQ(requests.size(), link.attempts + 0u);  // the first chunk only

  EXPECT_FALSE(ReadWholeTable(link, image, 18, &status));
  EXPECT_FALSE(WriteWholeTable(link, image, 5, &status));
}

}  // namespace
}  // namespace kvarta
