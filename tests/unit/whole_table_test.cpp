#include "link/whole_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "link/config_image.h"
#include "link/controller_link.h"
#include "support/sim_line.h"

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

TEST(ChunkTable, CutsTablesAndPartsWithinTheByteLimits) {
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
  // A range of fields is cut from its first field and clipped to the table.
  EXPECT_EQ(ChunkFields({22, 3, 8}, false), (Plan{{22, 3, 4}, {22, 7, 4}}));
  EXPECT_EQ(ChunkFields({4, 5, 11}, true), (Plan{{4, 5, 10}, {4, 15, 1}}));
  EXPECT_EQ(ChunkFields({20, 4, 1}, false), (Plan{{20, 4, 1}}));
  EXPECT_EQ(ChunkFields({9, 100, 10}, false), (Plan{{9, 100, 4}}));
  EXPECT_TRUE(ChunkFields({9, 104, 1}, false).empty());
  EXPECT_TRUE(ChunkFields({5, 0, 1}, false).empty());
}

class WholeTableTest : public ::testing::Test, public test::SimLinked {
 protected:
  WholeTableTest() { link.SetCredentials("111111", "1111"); }
  test::Bytes Controller(int t) {
    const uint8_t* p = port->controller.Field(t, 0);
    return {p, p + TableCatalogue(t).Bytes()};
  }
  test::Bytes Image(int t) const {
    return {image.Table(t), image.Table(t) + TableCatalogue(t).Bytes()};
  }

  test::FakeStatusBar& status = bar;
  ConfigImage image;
};

TEST_F(WholeTableTest, ReadsAndWritesTableFourInChunks) {
  ASSERT_TRUE(ReadWholeTable(link, image, 4, &status));
  auto requests = port->Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].range, (FieldRange{4, 0, 11}));
  EXPECT_EQ(requests[1].range, (FieldRange{4, 11, 5}));
  EXPECT_EQ(Image(4), Controller(4));

  port->writes.clear();
  image.Field(4, 2)[0] = 'X';  // a sound users list: another name
  ASSERT_TRUE(WriteWholeTable(link, image, 4, &status));
  requests = port->Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].range, (FieldRange{4, 0, 10}));
  EXPECT_EQ(requests[1].range, (FieldRange{4, 10, 6}));
  EXPECT_EQ(port->writes[1].size(), 26u + 6 * 22);
  EXPECT_EQ(Image(4), Controller(4));
}

TEST_F(WholeTableTest, FirstFailedChunkEndsTheTable) {
  *port->controller.Field(0, 12) = 1;  // table 22 plain on the wire
  std::memset(port->controller.Field(22, 0), 0x11, 550);
  int writes = 0;
  auto feed = port->on_write;
  port->on_write = [&writes, feed](const test::Bytes& b) {
    if (++writes == 1) feed(b);  // only the first chunk is answered
  };
  EXPECT_FALSE(ReadWholeTable(link, image, 22, &status));
  EXPECT_EQ(writes, 1 + link.attempts);
  EXPECT_EQ(image.Field(22, 3)[49], 0x11);  // the first chunk stays read
  EXPECT_EQ(image.Field(22, 4)[0], 0x00);   // later fields keep their old values

  port->on_write = feed;
  port->writes.clear();
  for (int i = 0; i < link.attempts; ++i) port->instead.push_back(test::MakeErrorAnswer(1, 2, 12));
  EXPECT_FALSE(WriteWholeTable(link, image, 22, &status));
  EXPECT_EQ(port->writes.size(), link.attempts + 0u);  // the first chunk only

  EXPECT_FALSE(ReadWholeTable(link, image, 18, &status));
  EXPECT_FALSE(WriteWholeTable(link, image, 5, &status));
}

}  // namespace
}  // namespace kvarta
