// The simulated controller's answers, byte by byte, and its line-side helpers
// (request assembly, answer faults, command line).
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <tuple>
#include <vector>

#include "link/crc16.h"
#include "link/gprs_transform.h"
#include "sim/answer_faults.h"
#include "sim/controller.h"
#include "sim/controller_device.h"
#include "sim/frame_assembler.h"
#include "sim/sim_command_line.h"
#include "support/frames.h"
#include "support/sim_requests.h"

namespace kvarta::sim {
namespace {

using test::Bytes;
using test::WithCrc;

const std::string kAdjuster = "111111      1111";
const std::string kOperator = "            4444";
const std::string kBlank16(16, ' ');
constexpr auto Read = &test::SimRead;
constexpr auto Write = &test::SimWrite;
constexpr auto AdminWrite = &test::SimAdminWrite;
constexpr auto Values = &test::SimValues;

Bytes Restart(uint8_t address, const std::string& credentials) {
  Bytes f = {0xCC, address, 22, 32};
  f.insert(f.end(), credentials.begin(), credentials.end());
  return WithCrc(f);
}

// Error code of an error answer, -1 for a normal answer; checks the frame.
int ErrorOf(const Bytes& answer) {
  EXPECT_GE(answer.size(), 6u);
  if (answer.size() < 6) return -2;
  EXPECT_EQ(answer[0], 0x33);
  EXPECT_EQ(answer[2], answer.size());
  EXPECT_EQ(Crc16(answer.data(), answer.size()), 0);
  if (answer[3] & 0x80) return -1;
  EXPECT_EQ(answer.size(), 9u);
  return answer[4];
}

Bytes UserRecord(const std::string& name, uint8_t level, const std::string& password,
                 const std::string& code) {
  Bytes r(22, ' ');
  std::copy(name.begin(), name.end(), r.begin());
  r[4] = level;
  r[5] = 0;
  std::copy(password.begin(), password.end(), r.begin() + 6);
  std::copy(code.begin(), code.end(), r.begin() + 18);
  return r;
}

// A valid 16-user list: an adjuster and an administrator (Latin names).
Bytes ValidUsers(uint8_t second_level = 2) {
  Bytes all = test::Concat(UserRecord("ADJ ", 1, "pw1", "0001"),
                           UserRecord("ADM ", second_level, "pw2", "0002"));
  for (int i = 2; i < 16; ++i) all = test::Concat(all, UserRecord("", 0, "", ""));
  return all;
}

Bytes Slice(const Bytes& b, size_t from, size_t n) {
  return Bytes(b.begin() + from, b.begin() + from + n);
}

// The demo controller at address 1.
class SimController : public ::testing::Test {
 protected:
  Controller c{1};
};

TEST_F(SimController, ReadAnswerLayoutAndDefaultIdentification) {
  const Bytes a = c.Handle(Read(1, 0, 0, 18));
  ASSERT_EQ(a.size(), 28u);
  EXPECT_EQ(ErrorOf(a), -1);
  EXPECT_EQ(Bytes(a.begin(), a.begin() + 8), (Bytes{0x33, 1, 28, 0x81, 0, 0, 0, 18}));
  // Nothing destroyed, type, software, GPRS substitution on, modem code.
  const Bytes id = Values(a);
  EXPECT_EQ((Bytes{id[0], id[1], id[3], id[12], id[17]}), (Bytes{0, 64, 4, 0, 1}));

  // A range inside a table echoes exactly.
  const Bytes t3 = c.Handle(Read(1, 3, 104, 18));
  EXPECT_EQ(Slice(t3, 5, 3), (Bytes{3, 104, 18}));
  EXPECT_EQ(c.FieldText(3, 104), "Котельная №1");
}

TEST_F(SimController, RefusalsAndTheirErrorCodes) {
  const std::vector<std::pair<Bytes, int>> cases = {
      {Read(1, 5, 0, 1), 9},  // no such table
      {Read(1, 23, 0, 1), 9},
      {Read(1, 0, 0, 0), 13},  // no such field
      {Read(1, 0, 17, 2), 13},
      {Read(1, 9, 0, 104), -1},
      {Read(1, 19, 0, 2), 2},  // two 200-byte fields would not fit one frame
      {Read(1, 19, 39, 1), -1},
      {WithCrc({0xCC, 1, 11, 1, 0, 0, 0, 1, 0}), 2},  // a read of the wrong length
      {AdminWrite(0, 0, 1, {0}), 12},                 // read-only tables
      {AdminWrite(7, 0, 1, {0}), 12},
      {AdminWrite(19, 0, 1, Bytes(200, 0)), 12},
      {AdminWrite(6, 0, 1, {0}), 9},
      {AdminWrite(15, 11, 2, {0, 0}), 14},  // beyond the table
      {AdminWrite(15, 0, 0, {}), 14},
      {AdminWrite(20, 0, 2, {1, 0}), 2},  // fewer values than the range says
      {AdminWrite(15, 0, 1, {14}), 45},   // value checks
      {AdminWrite(15, 0, 1, {13}), -1},
      {AdminWrite(3, 0, 1, {0}), 4},
      {AdminWrite(3, 5, 2, {10, 3}), 4},
      {AdminWrite(9, 0, 1, {5}), 4},
      {AdminWrite(9, 0, 1, {4}), -1},
      {Write(1, kBlank16, 15, 0, 1, {0}), 34},            // credentials
      {Write(1, "222222      1111", 15, 0, 1, {0}), 34},  // of two users
      {Write(1, "222222xxxxxx2222", 15, 0, 1, {0}), 34},
      {Write(1, kAdjuster, 20, 0, 1, {100, 0}), -1},
      {Write(1, kOperator, 15, 0, 1, {0}), -1},  // the operator may only give commands
      {Write(1, kOperator, 20, 0, 1, {100, 0}), 26},
      {Restart(1, kBlank16), 34}};
  for (const auto& [request, error] : cases) {
    const Bytes a = c.Handle(request);
    EXPECT_EQ(ErrorOf(a), error) << test::Hex(request);
    if (error > 0) {
      EXPECT_EQ(a[3], request[3]) << test::Hex(request);
    }
  }
  EXPECT_EQ(c.Handle(Read(1, 23, 0, 1))[6], 23);  // the table is echoed
  // The refused writes changed nothing.
  EXPECT_EQ(c.Field(3, 6)[0], 2);
  EXPECT_EQ(c.Address(), 1);
  EXPECT_EQ(c.RestartCount(), 0);
  // Unknown function codes, with the code echoed without bit 7.
  const Bytes unknown = c.Handle(WithCrc({0xCC, 1, 13, 7, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(ErrorOf(unknown), 1);
  EXPECT_EQ(unknown[3], 7);

  // Only its own and the broadcast address, only a sound CRC.
  Controller five(5);
  EXPECT_TRUE(five.Handle(Read(6, 0, 0, 1)).empty());
  EXPECT_EQ(five.Handle(Read(255, 0, 0, 1))[1], 5);
  Bytes bad = Read(5, 0, 0, 1);
  bad.back() ^= 1;
  EXPECT_TRUE(five.Handle(bad).empty());

  // A freed user no longer gets in.
  ASSERT_EQ(ErrorOf(c.Handle(AdminWrite(4, 2, 1, UserRecord("", 0, "", "")))), -1);
  EXPECT_EQ(ErrorOf(c.Handle(Write(1, kOperator, 15, 0, 1, {0}))), 34);
}

TEST_F(SimController, WriteRestartAndAnAddressChangeAnsweredFromTheNewAddress) {
  EXPECT_EQ(c.Handle(AdminWrite(20, 4, 1, {25, 0})), WithCrc({0x33, 1, 10, 0x82, 0, 20, 4, 1}));
  EXPECT_EQ(Values(c.Handle(Read(1, 20, 4, 1))), (Bytes{25, 0}));
  const Bytes ok = c.Handle(Restart(1, kOperator));
  EXPECT_EQ(ErrorOf(ok), -1);
  EXPECT_EQ(ok[3], 0xA0);
  EXPECT_EQ(c.RestartCount(), 1);

  const Bytes a = c.Handle(AdminWrite(3, 0, 2, {7, 4}));
  ASSERT_EQ(ErrorOf(a), -1);
  EXPECT_EQ(a[1], 7);
  EXPECT_EQ(c.Address(), 7);
  EXPECT_TRUE(c.Handle(Read(1, 0, 0, 1)).empty());
  EXPECT_EQ(c.Handle(Read(7, 0, 0, 1))[1], 7);
  // A write into table 3 that leaves field 0 alone keeps the address.
  ASSERT_EQ(ErrorOf(c.Handle(Write(7, test::kSimAdminCredentials, 3, 1, 1, {9}))), -1);
  EXPECT_EQ(c.Address(), 7);
}

TEST_F(SimController, UsersListRulesOnIntactTable) {
  const std::tuple<int, Bytes, int> refused[] = {
      {0, UserRecord("Nal ", 2, "111111", "1111"), 30},  // demoting the only adjuster
      {5, UserRecord("New ", 1, "x", "5555"), 29},       // a second adjuster
      {5, UserRecord("New ", 3, "x", ""), 28},           // an empty code
      {5, UserRecord("", 3, "x", "5555"), 27},           // an empty name
      {1, UserRecord("", 0, "", ""), 31}};               // the only administrator
  for (const auto& [field, record, error] : refused) {
    EXPECT_EQ(ErrorOf(c.Handle(AdminWrite(4, field, 1, record))), error);
  }
  // The list is untouched after the refusals; a sound change goes through.
  EXPECT_EQ(c.Field(4, 0)[4], 1);
  EXPECT_EQ(ErrorOf(c.Handle(AdminWrite(4, 5, 1, UserRecord("New ", 3, "x", "5555")))), -1);
  EXPECT_EQ(c.Field(4, 5)[4], 3);
}

TEST_F(SimController, DestroyedTablesAreRewrittenWholeSmallOnesInOneGo) {
  ASSERT_TRUE(c.SetDestroyed(9, true));
  EXPECT_FALSE(c.SetDestroyed(15, true));
  EXPECT_EQ(Values(c.Handle(Read(1, 7, 9, 1))), Bytes{1});
  EXPECT_EQ(Values(c.Handle(Read(1, 0, 0, 1))), Bytes{9});
  EXPECT_EQ(Values(c.Handle(Read(1, 9, 0, 8))), Bytes(8, 0));

  Bytes table(104, 0);
  table[0] = 1;
  EXPECT_EQ(ErrorOf(c.Handle(AdminWrite(9, 0, 8, Slice(table, 0, 8)))), 23);
  EXPECT_EQ(ErrorOf(c.Handle(AdminWrite(9, 1, 103, Slice(table, 1, 103)))), 23);
  EXPECT_TRUE(c.Destroyed(9));
  EXPECT_EQ(ErrorOf(c.Handle(AdminWrite(9, 0, 104, table))), -1);
  EXPECT_FALSE(c.Destroyed(9));
  EXPECT_EQ(Values(c.Handle(Read(1, 0, 0, 1))), Bytes{0});
  // Intact again: partial writes are fine.
  EXPECT_EQ(ErrorOf(c.Handle(AdminWrite(9, 2, 1, {7}))), -1);

  // A big table is rewritten in order; the first destroyed table is reported.
  c.Field(0, 12)[0] = 1;  // plain GPRS table on the wire, to keep the test simple
  c.SetDestroyed(22, true);
  c.SetDestroyed(21, true);
  EXPECT_EQ(Values(c.Handle(Read(1, 0, 0, 1))), Bytes{21});
  const Bytes chunk(200, 'a');
  EXPECT_EQ(ErrorOf(c.Handle(AdminWrite(22, 4, 4, chunk))), 61);
  EXPECT_EQ(ErrorOf(c.Handle(AdminWrite(22, 0, 4, chunk))), -1);
  EXPECT_EQ(ErrorOf(c.Handle(AdminWrite(22, 8, 3, Slice(chunk, 0, 150)))), 61);
  EXPECT_EQ(ErrorOf(c.Handle(AdminWrite(22, 4, 4, chunk))), -1);
  EXPECT_TRUE(c.Destroyed(22));
  EXPECT_EQ(ErrorOf(c.Handle(AdminWrite(22, 8, 3, Slice(chunk, 0, 150)))), -1);
  EXPECT_FALSE(c.Destroyed(22));
  EXPECT_EQ(Values(c.Handle(Read(1, 0, 0, 1))), Bytes{21});
}

TEST_F(SimController, DestroyedUsersTableTakesBlankCredentialsTwiceForASoundList) {
  c.SetDestroyed(4, true);
  const Bytes users = ValidUsers();
  // Nobody is registered: the usual credentials are refused.
  EXPECT_EQ(ErrorOf(c.Handle(AdminWrite(15, 0, 1, {0}))), 34);
  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_EQ(ErrorOf(c.Handle(Write(1, kBlank16, 4, 0, 10, Slice(users, 0, 220)))), -1) << pass;
    EXPECT_EQ(ErrorOf(c.Handle(Write(1, kBlank16, 4, 10, 6, Slice(users, 220, 132)))), -1) << pass;
    EXPECT_FALSE(c.Destroyed(4));
  }
  // Any other request closes the window for blank credentials.
  c.Handle(Read(1, 0, 0, 1));
  EXPECT_EQ(ErrorOf(c.Handle(Write(1, kBlank16, 4, 0, 10, Slice(users, 0, 220)))), 34);
  EXPECT_EQ(ErrorOf(c.Handle(Write(1, "pw1         0001", 15, 0, 1, {0}))), -1);

  // An unsound list (two adjusters) is refused and the rewrite starts over.
  Controller d(1);
  d.SetDestroyed(4, true);
  const Bytes unsound = ValidUsers(1);
  EXPECT_EQ(ErrorOf(d.Handle(Write(1, kBlank16, 4, 0, 10, Slice(unsound, 0, 220)))), -1);
  EXPECT_EQ(ErrorOf(d.Handle(Write(1, kBlank16, 4, 10, 6, Slice(unsound, 220, 132)))), 29);
  EXPECT_TRUE(d.Destroyed(4));
  EXPECT_EQ(ErrorOf(d.Handle(Write(1, kBlank16, 4, 10, 6, Slice(unsound, 220, 132)))), 61);
}

TEST_F(SimController, GprsTableTravelsSubstitutedWhenSwitchedOn) {
  ASSERT_EQ(c.Field(0, 12)[0], 0);
  const Bytes wire = Values(c.Handle(Read(1, 22, 0, 1)));
  ASSERT_EQ(wire.size(), 50u);
  std::string plain;
  for (uint8_t b : wire) plain.push_back(static_cast<char>(kGprsSubstitutionInverse[b]));
  EXPECT_EQ(plain.c_str(), std::string("internet"));
  EXPECT_NE(wire, Bytes(plain.begin(), plain.end()));

  Bytes apn(50, 0);
  const std::string text = "m2m.example";
  std::copy(text.begin(), text.end(), apn.begin());
  Bytes encoded;
  for (uint8_t b : apn) encoded.push_back(kGprsSubstitution[b]);
  ASSERT_EQ(ErrorOf(c.Handle(AdminWrite(22, 0, 1, encoded))), -1);
  EXPECT_EQ(c.FieldText(22, 0), text);

  c.Field(0, 12)[0] = 1;
  EXPECT_EQ(Values(c.Handle(Read(1, 22, 0, 1))), apn);
  ASSERT_EQ(ErrorOf(c.Handle(AdminWrite(22, 1, 1, apn))), -1);
  EXPECT_EQ(c.FieldText(22, 1), text);
}

Bytes LocalClock(int64_t unix_seconds) {
  const time_t t = static_cast<time_t>(unix_seconds);
  tm local{};
  localtime_r(&t, &local);
  return {static_cast<uint8_t>(local.tm_year - 100), static_cast<uint8_t>(local.tm_mon + 1),
          static_cast<uint8_t>(local.tm_mday),       static_cast<uint8_t>(local.tm_hour),
          static_cast<uint8_t>(local.tm_min),        static_cast<uint8_t>(local.tm_sec)};
}

TEST_F(SimController, ClocksRunFromTheTimeSource) {
  int64_t now = 1774000000;  // March 2026
  c.SetTimeSource([&now] { return now; });
  EXPECT_EQ(Values(c.Handle(Read(1, 2, 0, 6))), LocalClock(now));
  now += 2;
  EXPECT_EQ(Values(c.Handle(Read(1, 2, 0, 6))), LocalClock(now));

  const Bytes vrg = Values(c.Handle(Read(1, 10, 0, 5)));
  EXPECT_EQ(Slice(vrg, 0, 6), LocalClock(now));
  EXPECT_EQ(Slice(vrg, 6, 6), LocalClock(now - 3));
  EXPECT_EQ(Slice(vrg, 12, 6), LocalClock(now + 5));
  EXPECT_EQ(vrg[19], 0);  // VRG 3: month 0, no value
  EXPECT_EQ(vrg[25], 0);

  c.SetClockOffsetSeconds(-60);
  EXPECT_EQ(Values(c.Handle(Read(1, 2, 0, 6))), LocalClock(now - 60));
  EXPECT_EQ(ErrorOf(c.Handle(AdminWrite(2, 0, 6, LocalClock(now)))), 12);
}

// --- request assembly ---

std::vector<Bytes> FeedAll(FrameAssembler& fa, const Bytes& bytes, int64_t now, uint8_t address) {
  return fa.Feed(bytes.data(), bytes.size(), now, address);
}

TEST(SimFrameAssembler, SkipsNoiseOtherAddressesAndBadCrc) {
  FrameAssembler fa;
  const Bytes request = Read(1, 0, 0, 18);
  // Noise with stray start bytes, one of which would announce 204 bytes.
  Bytes line = {0xFF, 0xFF, 0xFF, 0x12, 0x33, 0xCC, 0xCC, 0x00, 0xCC, 0x05};
  line.insert(line.end(), request.begin(), request.end());
  ASSERT_EQ(FeedAll(fa, line, 0, 1), std::vector<Bytes>{request});
  EXPECT_FALSE(fa.Partial());

  // Another address and a bad CRC are dropped, the broadcast taken.
  Bytes bad = Read(1, 0, 0, 1);
  bad[bad.size() - 2] ^= 0x40;
  line = Read(2, 0, 0, 1);
  line.insert(line.end(), bad.begin(), bad.end());
  const Bytes broadcast = Read(255, 0, 0, 1);
  const Bytes mine = Read(1, 3, 0, 1);
  line.insert(line.end(), broadcast.begin(), broadcast.end());
  line.insert(line.end(), mine.begin(), mine.end());
  EXPECT_EQ(FeedAll(fa, line, 0, 1), (std::vector<Bytes>{broadcast, mine}));
}

TEST(SimFrameAssembler, SplitDeliveryAndStalePartials) {
  FrameAssembler fa(MsToNs(200));
  const Bytes request = Write(1, kBlank16, 15, 0, 1, {0});
  int64_t now = 0;
  for (size_t i = 0; i + 1 < request.size(); ++i) {
    EXPECT_TRUE(fa.Feed(&request[i], 1, now, 1).empty());
    now += MsToNs(5);
  }
  EXPECT_EQ(fa.Feed(&request.back(), 1, now, 1).size(), 1u);

  // The head of a frame, then silence, then a whole frame: the head is dropped.
  EXPECT_TRUE(FeedAll(fa, Slice(request, 0, 6), now, 1).empty());
  now += MsToNs(500);
  EXPECT_EQ(FeedAll(fa, request, now, 1), std::vector<Bytes>{request});

  // A too-short length byte restarts the search.
  EXPECT_TRUE(FeedAll(fa, Bytes{0xCC, 1, 3}, now, 1).empty());
  EXPECT_EQ(FeedAll(fa, request, now, 1).size(), 1u);
}

// --- answer faults ---

TEST(SimAnswerFaults, DamageTheAnswerAsAsked) {
  Controller c(1);
  const Bytes request = Read(1, 9, 0, 8);
  const Bytes answer = c.Handle(request);
  std::minstd_rand rng(1);
  Fault f;
  auto apply = [&](FaultKind kind) {
    f.kind = kind;
    return ApplyFault(f, request, answer, rng);
  };
  EXPECT_TRUE(apply(FaultKind::kSilence).bytes.empty());
  f.cut_after = 4;
  EXPECT_EQ(apply(FaultKind::kCutShort).bytes, Slice(answer, 0, 4));

  const Bytes bad = apply(FaultKind::kBadCrc).bytes;
  EXPECT_EQ(Slice(bad, 0, bad.size() - 1), Slice(answer, 0, answer.size() - 1));
  EXPECT_NE(Crc16(bad.data(), bad.size()), 0);

  const Bytes noisy = apply(FaultKind::kNoiseBefore).bytes;
  ASSERT_GT(noisy.size(), answer.size());
  const size_t noise = noisy.size() - answer.size();
  for (size_t i = 0; i < noise; ++i) EXPECT_NE(noisy[i], 0x33);
  EXPECT_EQ(Slice(noisy, noise, answer.size()), answer);

  const Bytes echo = apply(FaultKind::kWrongRangeEcho).bytes;
  EXPECT_EQ(echo[5], 10);
  EXPECT_EQ(Crc16(echo.data(), echo.size()), 0);

  f.error_code = 24;
  f.reason_code = 49;
  f.table = 4;
  EXPECT_EQ(apply(FaultKind::kErrorAnswer).bytes, WithCrc({0x33, 1, 9, 1, 24, 49, 4}));

  f.delay_ms = 700;
  const FaultedAnswer late = apply(FaultKind::kDelay);
  EXPECT_EQ(late.bytes, answer);
  EXPECT_EQ(late.delay_ns, MsToNs(700));
}

TEST(SimControllerDevice, FaultCountThenNormalAndRefusedRequestsAreNotCarriedOut) {
  Controller c(1);
  ControllerDevice device(c);
  std::vector<Bytes> sent;
  device.SetOutput([&sent](Bytes b, int64_t) { sent.push_back(std::move(b)); });

  device.SetFault({.kind = FaultKind::kErrorAnswer, .count = 1, .error_code = 7});
  const Bytes write = AdminWrite(20, 4, 1, {25, 0});
  device.OnBytes(write.data(), write.size(), 0);
  device.OnBytes(write.data(), write.size(), 0);
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(ErrorOf(sent[0]), 7);
  EXPECT_EQ(sent[0][3], 2);
  EXPECT_EQ(ErrorOf(sent[1]), -1);
  EXPECT_EQ(device.CurrentFault().kind, FaultKind::kNone);

  device.SetFault({.kind = FaultKind::kSilence});  // every answer
  const Bytes read = Read(1, 0, 0, 1);
  for (int i = 0; i < 3; ++i) device.OnBytes(read.data(), read.size(), 0);
  EXPECT_EQ(sent.size(), 2u);
}

// --- command line ---

TEST(SimCommandLine, ParsesOptionsAndFaults) {
  SimCommandLine cl;
  std::string error;
  ASSERT_TRUE(
      ParseSimCommandLine({"--address", "7", "--listen-baud", "9600", "--destroyed", "4,22",
                           "--fault", "error:24,49,4", "--fault-count", "2", "--state", "s.bin"},
                          cl, error))
      << error;
  const SimulatorOptions& o = cl.options;
  EXPECT_EQ(std::tie(o.address, o.listen_baud, o.destroyed_tables, o.state_file, cl.device),
            std::make_tuple(7, 9600u, std::vector<int>{4, 22}, "s.bin", ""));
  EXPECT_EQ(
      std::tie(o.fault.kind, o.fault.error_code, o.fault.reason_code, o.fault.table, o.fault.count),
      std::make_tuple(FaultKind::kErrorAnswer, 24, 49, 4, 2));

  Fault f;
  ASSERT_TRUE(ParseFault("cut:3", f));
  EXPECT_EQ(f.cut_after, 3);
  ASSERT_TRUE(ParseFault("delay:2500", f));
  EXPECT_EQ(std::tie(f.kind, f.delay_ms), std::make_tuple(FaultKind::kDelay, 2500));

  ASSERT_TRUE(
      ParseSimCommandLine({"--front", "modem", "--modem-dial", "no-dialtone", "--modem-echo", "off",
                           "--modem-gsm-ready", "no", "--modem-drop-after-requests", "3",
                           "--modem-drop-after-seconds", "20", "--expect-modem"},
                          cl, error))
      << error;
  EXPECT_EQ(
      std::tie(o.front, o.modem.dial, o.modem.echo, o.modem.gsm_ready, o.modem.drop_after_requests,
               o.modem.drop_after_ms, o.expect_modem.enabled),
      std::make_tuple(FrontKind::kModem, DialOutcome::kNoDialTone, false, false, 3, 20000, true));
  EXPECT_GT(o.expect_modem.every_ms, 0);

  ASSERT_TRUE(ParseSimCommandLine(
      {"--front", "adapter", "--adapter-silent", "at@l", "--expect-modem-every", "0"}, cl, error))
      << error;
  EXPECT_EQ(std::tie(o.front, o.adapter.refuse, o.adapter.refuse_silently, o.expect_modem.enabled,
                     o.expect_modem.every_ms),
            std::make_tuple(FrontKind::kAdapter, "at@l", true, true, 0));

  // Options with a wrong value, one without its value, one unknown.
  std::vector<std::vector<std::string>> wrong = {{"--device"}, {"--adapter-refuse", ""}};
  for (const char* option :
       {"--address 0", "--address x", "--destroyed 5", "--fault cut", "--fault error:300",
        "--fault silence:1", "--bogus 1", "--front fax", "--modem-dial maybe", "--modem-echo yes",
        "--modem-gsm-ready on", "--modem-drop-after-requests -1"}) {
    const std::string text = option;
    wrong.push_back({text.substr(0, text.find(' ')), text.substr(text.find(' ') + 1)});
  }
  for (const std::vector<std::string>& bad : wrong) {
    EXPECT_FALSE(ParseSimCommandLine(bad, cl, error)) << bad[0];
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace kvarta::sim
