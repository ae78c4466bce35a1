// The field-level table description against the catalogue, and the value
// codecs at their borders.
#include "link/table_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <sstream>
#include <tuple>
#include <vector>

#include "link/config_image.h"
#include "link/table_catalogue.h"
#include "platform/text_format.h"
#include "sim/controller.h"

namespace kvarta {
namespace {

constexpr std::array<int, 15> kDescribedTables = {0,  1,  2,  3,  4,  7,  9, 10,
                                                  12, 15, 17, 19, 20, 21, 22};

using Bytes = std::vector<uint8_t>;

bool Described(int t) {
  return std::find(kDescribedTables.begin(), kDescribedTables.end(), t) != kDescribedTables.end();
}

// A parameter made up for codec tests, placed at offset 1 of a buffer.
ParamSpec Made(ParamType type, uint16_t size) {
  ParamSpec p;
  p.name = "made";
  p.offset = 1;
  p.size = size;
  p.type = type;
  p.max = size;
  return p;
}

TEST(TableLayout, EveryEntryLiesInOrderInsideItsTableWithASizeItsTypeCanHoldAndAUniqueName) {
  for (int t = 0; t < kTableCount; ++t) {
    const TableDescriptor& d = TableCatalogue(t);
    const auto params = TableParams(t);
    EXPECT_EQ(!params.empty(), Described(t)) << "table " << t;
    std::set<std::string> names;
    for (size_t i = 0; i < params.size(); ++i) {
      const ParamSpec& p = params[i];
      SCOPED_TRACE(Format("table %d, %s", t, p.name.c_str()));
      EXPECT_TRUE(names.insert(p.name).second) << "repeated";
      EXPECT_FALSE(p.name.empty());
      EXPECT_EQ(p.name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_."),
                std::string::npos);
      EXPECT_EQ(FindParam(t, p.name), &p);
      EXPECT_EQ(p.table, t);
      EXPECT_LE(p.offset + p.size, d.Bytes());
      EXPECT_EQ(p.field, p.offset / d.field_size);
      EXPECT_LE(p.min, p.max);
      for (int64_t v : p.values) {
        EXPECT_GE(v, p.min);
        EXPECT_LE(v, p.max);
      }
      if (i > 0) {
        const ParamSpec& prev = params[i - 1];
        const bool bits_of_one_byte = prev.type == ParamType::kBit && p.type == ParamType::kBit &&
                                      prev.offset == p.offset && prev.bit < p.bit;
        EXPECT_TRUE(bits_of_one_byte || p.offset >= prev.offset + prev.size)
            << "overlaps " << prev.name;
      }
      switch (p.type) {
        case ParamType::kUnsigned:
        case ParamType::kSigned: {
          ASSERT_GE(p.size, 1);
          ASSERT_LE(p.size, 4);
          const bool sign = p.type == ParamType::kSigned;
          EXPECT_GE(p.min, sign ? -(int64_t{1} << (8 * p.size - 1)) : 0);
          EXPECT_LT(p.max, int64_t{1} << (8 * p.size - sign)) << "the range exceeds the bytes";
          break;
        }
        case ParamType::kBit:
          EXPECT_EQ(p.size, 1);
          EXPECT_LT(p.bit, 8);
          EXPECT_EQ(p.max, 1);
          break;
        case ParamType::kRateIndex:
          EXPECT_EQ(p.size, 1);
          EXPECT_EQ(p.unit, "bit/s");
          break;
        case ParamType::kShortDateTime:
          EXPECT_EQ(p.size, 6);
          break;
        case ParamType::kText:
        case ParamType::kPaddedText:
          EXPECT_GE(p.min, 0);
          EXPECT_LE(p.max, p.size);
          break;
        case ParamType::kBytes:
          break;
      }
    }
  }
  EXPECT_EQ(FindParam(3, "no_such_name"), nullptr);
  EXPECT_EQ(FindParam(5, "address"), nullptr);
  EXPECT_TRUE(TableParams(-1).empty());
  EXPECT_TRUE(TableParams(kTableCount).empty());
}

// The names the tool's "set" and "show" take are its interface: each must stay, with its type.
TEST(TableLayout, NamesTheToolSetsExistWithTheirTypes) {
  using enum ParamType;
  std::vector<std::tuple<int, std::string, ParamType>> names = {
      {3, "address answer_preambles delivery_attempts servers answer_wait_s use_schedule",
       kUnsigned},
      {3, "send_server1 send_server2", kBit},
      {3, "name", kText},
      {9, "vrg_count vrg_preambles vrg_answer_wait_ds failed_exchanges send_delay_min", kUnsigned},
      {9, "vrg_speed", kRateIndex},
      {20, "open_wait_s start_wait_s write_wait_s close_wait_s phone_request_wait_s", kUnsigned},
      {20, "modem_busy_max_min sim_balance_wait_s", kUnsigned},
      {21, "init_string balance_phone traffic_phone payment_phone", kText},
      {22, "apn user password connection_type server1_ip server1_port server2_ip", kText},
      {22, "server2_port", kText}};
  for (int h = 0; h < 24; ++h) {
    names.push_back({3, Format("schedule.%d.server1 schedule.%d.server2", h, h), kUnsigned});
    names.push_back({3, Format("schedule.%d.modem", h), kBit});
  }
  for (int k = 1; k <= 4; ++k) {
    names.push_back({9, Format("vrg%d.address vrg%d.group vrg%d.interface", k, k, k), kUnsigned});
    names.push_back({9, Format("vrg%d.runs vrg%d.server1 vrg%d.server2", k, k, k), kUnsigned});
  }
  for (const auto& [t, list, type] : names) {
    std::istringstream words(list);
    for (std::string name; words >> name;) {
      const ParamSpec* p = FindParam(t, name);
      ASSERT_NE(p, nullptr) << "table " << t << ": " << name;
      EXPECT_EQ(p->type, type) << name;
    }
  }
}

TEST(TableLayout, TheTable20FieldsFollowTheirFieldNumbers) {
  // The timeouts are looked up by name and read by field: both must agree.
  const auto params = TableParams(20);
  ASSERT_EQ(params.size(), 7u);
  for (size_t f = 0; f < params.size(); ++f) {
    EXPECT_EQ(params[f].field, f);
    EXPECT_EQ(params[f].size, 2);
  }
  EXPECT_EQ(Param(20, "phone_request_wait_s").field, layout::t20::kPhoneRequestWait);
}

TEST(TableLayout, ControllerNameEndsWithItsTerminatorAtField121) {
  const ParamSpec& name = Param(3, "name");
  EXPECT_EQ(name.offset + name.size - 1, layout::t3::kNameTerminator);
  EXPECT_EQ(layout::t3::kNameTerminator, TableCatalogue(3).field_count - 1);

  ConfigImage image;
  uint8_t* t3 = image.Table(3);
  std::fill(t3, t3 + TableCatalogue(3).Bytes(), 0x55);
  const std::string seventeen = "Котельная №1 корп";  // 17 characters
  SetText(t3, name, seventeen);
  t3[layout::t3::kNameTerminator] = 0;  // what the start-up read forces
  EXPECT_EQ(GetText(t3, name), seventeen);
  EXPECT_TRUE(ParamInRange(t3, name));
  // A longer text keeps the terminator and loses only what does not fit.
  SetText(t3, name, seventeen + "ус");
  EXPECT_EQ(GetText(t3, name), seventeen);
  EXPECT_EQ(t3[layout::t3::kNameTerminator], 0);
  EXPECT_EQ(t3[layout::t3::kName - 1], 0x55) << "the schedule before the name is kept";
}

TEST(TableLayout, UnsignedNumbersAreLittleEndianAndCutToTheirSize) {
  uint8_t t9[104] = {};
  t9[layout::t9::Record(1) - 1] = 0xAA;  // last byte of VRG 1's record
  t9[layout::t9::Record(1) + layout::t9::kInterface] = 0xBB;
  const ParamSpec& group = Param(9, "vrg2.group");
  SetNumber(t9, group, 16777215);
  EXPECT_EQ(std::vector(t9 + group.offset - 2, t9 + group.offset + 4),
            (Bytes{0xAA, 0, 0xFF, 0xFF, 0xFF, 0xBB}));
  EXPECT_EQ(GetNumber(t9, group), 16777215);
  EXPECT_TRUE(ParamInRange(t9, group));
  SetNumber(t9, group, 0x01020304);  // one byte too many: the high byte goes
  EXPECT_EQ(GetNumber(t9, group), 0x020304);
  EXPECT_EQ(t9[group.offset + 3], 0xBB);

  uint8_t t20[14] = {};
  const ParamSpec& open = Param(20, "open_wait_s");
  SetNumber(t20, open, 300);
  EXPECT_EQ(std::vector(t20, t20 + 3), (Bytes{0x2C, 0x01, 0}));
  t20[1] = 0xFF;
  EXPECT_EQ(GetNumber(t20, open), 0xFF2C) << "unsigned: no sign";
  EXPECT_FALSE(ParamInRange(t20, open));
}

TEST(TableLayout, SignedNumbersExtendTheirSign) {
  uint8_t b[6] = {0x11, 0, 0, 0, 0, 0x22};
  const ParamSpec two = Made(ParamType::kSigned, 2);
  SetNumber(b, two, -2);
  EXPECT_EQ(std::vector(b, b + 4), (Bytes{0x11, 0xFE, 0xFF, 0x00}));
  EXPECT_EQ(GetNumber(b, two), -2);
  b[1] = 0x00, b[2] = 0x80;
  EXPECT_EQ(GetNumber(b, two), -32768);
  b[1] = 0xFF, b[2] = 0x7F;
  EXPECT_EQ(GetNumber(b, two), 32767);
  const ParamSpec four = Made(ParamType::kSigned, 4);
  SetNumber(b, four, -1);
  EXPECT_EQ(GetNumber(b, four), -1);
  EXPECT_EQ(std::vector(b, b + 6), (Bytes{0x11, 0xFF, 0xFF, 0xFF, 0xFF, 0x22}));
}

TEST(TableLayout, BitsChangeOnlyTheirOwnBit) {
  uint8_t t3[122] = {};
  const ParamSpec& second = Param(3, "send_server2");
  const ParamSpec& first = Param(3, "send_server1");
  t3[layout::t3::kSendServers] = 0xF0;
  SetNumber(t3, second, 1);
  EXPECT_EQ(t3[layout::t3::kSendServers], 0xF2);
  SetNumber(t3, first, 7);  // any non-zero sets
  EXPECT_EQ(t3[layout::t3::kSendServers], 0xF3);
  EXPECT_EQ(GetNumber(t3, second), 1);
  SetNumber(t3, second, 0);
  EXPECT_EQ(t3[layout::t3::kSendServers], 0xF1);
  EXPECT_EQ(GetNumber(t3, second), 0);
  EXPECT_EQ(FormatParam(t3, first), "1");

  const ParamSpec& modem = Param(3, "schedule.23.modem");
  t3[modem.offset] = 0xFE;
  EXPECT_EQ(GetNumber(t3, modem), 0);
  SetNumber(t3, modem, 1);
  EXPECT_EQ(t3[modem.offset], 0xFF);
  EXPECT_EQ(t3[layout::t3::kName], 0) << "hour 23 ends before the name";
}

TEST(TableLayout, TerminatedTextsClearTheirBytesAndKeepRoomForTheTerminator) {
  uint8_t t21[250];
  std::fill(std::begin(t21), std::end(t21), 0x77);
  const ParamSpec& phone = Param(21, "balance_phone");
  SetText(t21, phone, std::string(60, '9'));
  EXPECT_EQ(GetText(t21, phone), std::string(49, '9'));
  EXPECT_EQ((Bytes{t21[phone.offset - 1], t21[phone.offset + 49], t21[phone.offset + 50]}),
            (Bytes{0x77, 0, 0x77}));
  SetText(t21, phone, "*100#");
  EXPECT_EQ(GetText(t21, phone), "*100#");
  EXPECT_EQ(Bytes(t21 + phone.offset + 5, t21 + phone.offset + 50), Bytes(45, 0))
      << "the longer text before is gone";
  SetText(t21, phone, "");
  EXPECT_EQ(GetText(t21, phone), "");
}

TEST(TableLayout, TextWithoutTerminatorEndsAtItsSize) {
  uint8_t t17[140] = {};
  const ParamSpec& reply = Param(17, "last_session_reply");
  std::copy_n("ABCDXYZ", 7, t17 + reply.offset);  // the reserved bytes follow unterminated
  EXPECT_EQ(GetText(t17, reply), "ABCD");
  EXPECT_TRUE(ParamInRange(t17, reply));

  uint8_t t22[550];
  std::fill(std::begin(t22), std::end(t22), 'a');
  const ParamSpec& apn = Param(22, "apn");
  EXPECT_EQ(GetText(t22, apn), std::string(50, 'a'));
  EXPECT_FALSE(ParamInRange(t22, apn)) << "50 characters leave no terminator";
  const ParamSpec& port = Param(22, "server2_port");
  EXPECT_EQ(GetText(t22, port), std::string(50, 'a'));
}

TEST(TableLayout, PaddedTextsAreBlankFilledAndReadWithoutThePadding) {
  uint8_t t4[352] = {};
  const ParamSpec& name = Param(4, "user2.name");
  const ParamSpec& password = Param(4, "user2.password");
  t4[name.offset + name.size] = 3;  // user 2's level follows the name
  SetText(t4, name, "Опер1");
  EXPECT_EQ(GetText(t4, name), "Опер");
  EXPECT_EQ(t4[name.offset + name.size], 3);
  SetText(t4, name, "Ад");
  EXPECT_EQ(std::string(t4 + name.offset + 2, t4 + name.offset + 4), "  ");
  EXPECT_EQ(GetText(t4, name), "Ад");
  SetText(t4, password, "");
  EXPECT_EQ(Bytes(t4 + password.offset, t4 + password.offset + 12), Bytes(12, ' '));
  EXPECT_EQ(GetText(t4, password), "");
  // A cleared (destroyed) table holds zeros, not blanks.
  EXPECT_EQ(GetText(t4, Param(4, "user16.code")), "");
}

TEST(TableLayout, RateIndexIsShownInBitsPerSecond) {
  uint8_t t9[104] = {};
  const ParamSpec& speed = Param(9, "vrg_speed");
  for (const auto& [index, shown] :
       {std::pair{11, "9600"}, {0, "300"}, {21, "230400"}, {22, "? (22)"}}) {
    SetNumber(t9, speed, index);
    EXPECT_EQ(FormatParam(t9, speed), shown);
    EXPECT_EQ(ParamInRange(t9, speed), index != 22) << index;
  }
}

TEST(TableLayout, DatesAndTimesFormatAndCheckAsCalendarMoments) {
  uint8_t t10[30] = {};
  const ParamSpec& clock = Param(10, "vrg_clock2");
  EXPECT_TRUE(ParamInRange(t10, clock)) << "month 0: no value";
  SetDateTime(t10, clock, {24, 2, 29, 23, 59, 58});
  EXPECT_EQ(FormatParam(t10, clock), "29.02.24 23:59:58");
  EXPECT_TRUE(ParamInRange(t10, clock));
  EXPECT_EQ(Bytes(t10 + clock.offset - 1, t10 + clock.offset + 7),
            (Bytes{0, 24, 2, 29, 23, 59, 58, 0}));
  // No 29 February in 2025, no hour 24, no month 13.
  for (const ShortDateTime& wrong :
       {ShortDateTime{25, 2, 29, 0, 0, 0}, {25, 12, 31, 24, 0, 0}, {25, 13, 1, 0, 0, 0}}) {
    SetDateTime(t10, clock, wrong);
    EXPECT_FALSE(ParamInRange(t10, clock)) << FormatParam(t10, clock);
    EXPECT_EQ(GetDateTime(t10, clock), wrong);
  }
}

TEST(TableLayout, RangesWithListedValuesAndTextLengths) {
  uint8_t t9[104] = {};
  const ParamSpec& line = Param(9, "vrg3.interface");
  for (int v : {0, 1, 2, 3}) {
    SetNumber(t9, line, v);
    EXPECT_EQ(ParamInRange(t9, line), v == 0 || v == 2) << v;
  }
  uint8_t t12[66] = {};
  const ParamSpec& key = Param(12, "authorisation_key");
  for (const std::string k : {"1234567", "12345678", "123456789"}) {
    SetText(t12, key, k);
    EXPECT_EQ(ParamInRange(t12, key), k.size() == 8) << k;
  }
  EXPECT_EQ(t12[9], 0);
}

TEST(TableLayout, RawBytesAreShownInHexAndNumbersOfOtherTypesReadAsZero) {
  const uint8_t b[4] = {0xEE, 0x0A, 0xFF, 0x00};
  EXPECT_EQ(FormatParam(b, Made(ParamType::kBytes, 3)), "0A FF 00");
  EXPECT_EQ(GetNumber(b, Made(ParamType::kText, 3)), 0);
  uint8_t c[4] = {1, 2, 3, 4};
  SetNumber(c, Made(ParamType::kBytes, 3), 0);
  SetText(c, Made(ParamType::kUnsigned, 3), "x");
  EXPECT_EQ(Bytes(c, c + 4), (Bytes{1, 2, 3, 4}));
}

TEST(TableLayout, TimeoutRangesByModemLieWithinTheDescribedWidestRanges) {
  const auto params = TableParams(20);
  for (uint8_t code : {layout::t0::kModemSc3000, layout::t0::kModemMc55it}) {
    const auto ranges = TimeoutRanges(code);
    ASSERT_EQ(ranges.size(), params.size());
    for (size_t f = 0; f < ranges.size(); ++f) {
      EXPECT_LE(ranges[f].min, ranges[f].max);
      EXPECT_GE(ranges[f].min, params[f].min) << f;
      EXPECT_LE(ranges[f].max, params[f].max) << f;
      EXPECT_FALSE(ranges[f].label.empty());
    }
  }
  // The description is the widest, not wider: each bound is some modem's.
  for (size_t f = 0; f < params.size(); ++f) {
    const auto sc = TimeoutRanges(layout::t0::kModemSc3000)[f];
    const auto mc = TimeoutRanges(layout::t0::kModemMc55it)[f];
    EXPECT_EQ(params[f].min, std::min(sc.min, mc.min)) << f;
    EXPECT_EQ(params[f].max, std::max(sc.max, mc.max)) << f;
  }
  EXPECT_TRUE(TimeoutRanges(2).empty());
}

TEST(TableLayout, TheDemoControllerHoldsValuesTheDescriptionAccepts) {
  sim::Controller ctl(1);
  const int vrgs = static_cast<int>(GetNumber(ctl.Field(9, 0), Param(9, "vrg_count")));
  for (int t : kDescribedTables) {
    for (const ParamSpec& p : TableParams(t)) {
      // Records past the VRG count are neither shown nor checked.
      const bool record = t == 9 && p.name.size() > 3 && p.name.starts_with("vrg") &&
                          p.name[3] >= '1' && p.name[3] <= '4';
      if (record && p.name[3] - '0' > vrgs) continue;
      EXPECT_TRUE(ParamInRange(ctl.Field(t, 0), p))
          << "table " << t << ": " << p.name << " = " << FormatParam(ctl.Field(t, 0), p);
    }
  }
}

TEST(TableLayoutDeathTest, AMissingNameIsAFaultOfTheProgram) {
#ifdef NDEBUG
  // Release builds go on with a parameter that touches nothing.
  uint8_t b[4] = {9, 9, 9, 9};
  const ParamSpec& p = Param(3, "no_such_name");
  SetNumber(b, p, 1);
  SetText(b, p, "x");
  EXPECT_EQ(b[0], 9);
  EXPECT_EQ(GetNumber(b, p), 0);
#else
  EXPECT_DEATH(Param(3, "no_such_name"), "missing from the table description");
#endif
}

}  // namespace
}  // namespace kvarta
