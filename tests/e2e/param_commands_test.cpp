// kvartactl show and set against the simulated controller: what is printed,
// what goes out on the line (--trace), and how checks and usage fail.
#include <gtest/gtest.h>

#include <sstream>

#include "e2e/run_program.h"

namespace kvarta::test {
namespace {

const std::string kAdjuster = "--simulator --code 1111 --password 111111 ";

// The request frames of a --trace, from their start byte on, as hex words.
std::vector<std::vector<std::string>> Requests(const std::string& trace) {
  std::vector<std::vector<std::string>> out;
  std::istringstream lines(trace);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string time, dir, w;
    if (!(words >> time >> dir) || dir != ">") continue;
    std::vector<std::string> frame;
    bool started = false;
    while (words >> w) {
      started = started || w == "CC";
      if (started) frame.push_back(w);
    }
    out.push_back(frame);
  }
  return out;
}

// Each test has a program folder of its own: a set address is kept there.
class ParamCommandsTest : public CtlTest {};

// Writes (function 2) as "table first count".
std::vector<std::string> Writes(const std::string& trace) {
  std::vector<std::string> out;
  for (const auto& f : Requests(trace)) {
    if (f.size() > 23 && f[3] == "02") out.push_back(f[21] + " " + f[22] + " " + f[23]);
  }
  return out;
}

TEST_F(ParamCommandsTest, SetAddressWritesOneFieldAndTheNextExchangeUsesTheNewAddress) {
  const ProgramRun run = Ctl(kAdjuster + "--trace set 3 address=7");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "address = 7\n");
  EXPECT_EQ(Writes(run.err), std::vector<std::string>{"03 00 01"});
  const auto requests = Requests(run.err);
  size_t write_at = 0;
  for (size_t i = 0; i < requests.size(); ++i) {
    if (requests[i][3] == "02") write_at = i;
  }
  ASSERT_LT(write_at + 1, requests.size()) << "an exchange follows the write";
  EXPECT_EQ(requests[write_at][1], "01");
  EXPECT_EQ(requests[write_at + 1][1], "07");
}

TEST_F(ParamCommandsTest, TimeoutRangesFollowTheModemCode) {
  const ProgramRun mc55 = Ctl(kAdjuster + "--trace set 20 open_wait_s=300 close_wait_s=250");
  ASSERT_EQ(mc55.exit_code, 0) << mc55.err;
  EXPECT_EQ(mc55.out, "open_wait_s = 300\nclose_wait_s = 250\n");
  EXPECT_EQ(Writes(mc55.err), std::vector<std::string>{"14 03 01"}) << "300 was there already";

  const ProgramRun sc = Ctl(kAdjuster + "--trace --sim-modem-code 0 set 20 open_wait_s=300");
  EXPECT_EQ(sc.exit_code, 1);
  EXPECT_THAT(sc.err, HasSubstr("Ошибка ввода параметров\nВводите значения\nсогласно допустимому "
                                "диапазону\nopen_wait_s (15...180)\n"));
  EXPECT_TRUE(Writes(sc.err).empty());
}

TEST_F(ParamCommandsTest, SetWritesOnlyTheChangedFieldsOfEachTable) {
  const ProgramRun vrg = Ctl(kAdjuster + "--trace set 9 send_delay_min=7 vrg1.group=16777215");
  ASSERT_EQ(vrg.exit_code, 0) << vrg.err;
  // Fields 7 and 9-11 differ: one request over 7-11 costs less than two.
  EXPECT_EQ(Writes(vrg.err), (std::vector<std::string>{"09 07 05"}));

  const ProgramRun gprs =
      Ctl(kAdjuster + "--trace set 22 password=secret server2_port=6001 --json");
  ASSERT_EQ(gprs.exit_code, 0) << gprs.err;
  EXPECT_EQ(Writes(gprs.err), (std::vector<std::string>{"16 02 01", "16 09 01"}));
  EXPECT_THAT(gprs.out,
              HasSubstr("\"parameters\":{\"password\":\"secret\",\"server2_port\":\"6001\"}"));

  const ProgramRun schedule =
      Ctl(kAdjuster + "--trace set 3 schedule.5.server2=2 schedule.5.modem=0");
  ASSERT_EQ(schedule.exit_code, 0) << schedule.err;
  EXPECT_EQ(Writes(schedule.err), (std::vector<std::string>{"03 1D 03"}));  // fields 29..31
}

TEST_F(ParamCommandsTest, WindowRulesRefuseBeforeAnythingIsWritten) {
  const ProgramRun address = Ctl(kAdjuster + "--trace set 3 address=256");
  EXPECT_EQ(address.exit_code, 1);
  EXPECT_THAT(address.err, HasSubstr("address (1...255)"));
  EXPECT_TRUE(Writes(address.err).empty());

  const ProgramRun one_server = Ctl(kAdjuster + "set 3 servers=1 send_server2=1");
  EXPECT_EQ(one_server.exit_code, 1);
  EXPECT_THAT(one_server.err, HasSubstr("send_server2: только при двух серверах"));

  const ProgramRun interface_speed = Ctl(kAdjuster + "set 9 vrg1.interface=bell202 vrg_speed=9600");
  EXPECT_EQ(interface_speed.exit_code, 1);
  EXPECT_THAT(interface_speed.err, HasSubstr("vrg_speed"));

  const ProgramRun group = Ctl(kAdjuster + "set 9 vrg2.group=16777216 --json");
  EXPECT_EQ(group.exit_code, 1);
  EXPECT_THAT(group.out, HasSubstr("\"ok\":false"));
  EXPECT_THAT(group.out, HasSubstr("Группа вне допускаемого диапазона"));
}

TEST_F(ParamCommandsTest, UnknownNamesAndMalformedValuesAreUsageErrors) {
  const struct {
    const char* args;
    const char* says;
  } cases[] = {
      {"set 3 adress=7", "adress"},
      {"set 3 address=seven", "address: seven"},
      {"set 3 use_schedule=2", "use_schedule: 2"},
      {"set 9 vrg1.interface=rs485", "vrg1.interface: rs485"},
      {"set 22 connection_type=ip-tcp", "connection_type: ip-tcp"},
      {"set 3 recording_mode=1", "recording_mode"},
      {"set 4 user1.name=x", "4"},
      {"set 3 address", "address"},
  };
  for (const auto& c : cases) {
    const ProgramRun run = Ctl(kAdjuster + "--trace " + c.args);
    EXPECT_EQ(run.exit_code, 2) << c.args << "\n" << run.err;
    EXPECT_THAT(run.err, HasSubstr(c.says)) << c.args << "\n" << run.err;
    EXPECT_TRUE(Requests(run.err).empty()) << c.args << ": nothing sent";
  }
}

TEST_F(ParamCommandsTest, ShowPrintsEveryParameterByName) {
  const ProgramRun gprs = Ctl("--simulator show 22");
  ASSERT_EQ(gprs.exit_code, 0) << gprs.err;
  EXPECT_THAT(gprs.out, HasSubstr("apn = internet\n")) << "decoded";
  EXPECT_THAT(gprs.out, HasSubstr("server2_port = 5001\n"));

  const ProgramRun vrg = Ctl("--simulator show 9");
  ASSERT_EQ(vrg.exit_code, 0) << vrg.err;
  EXPECT_THAT(vrg.out, HasSubstr("vrg_speed = 9600\n"));
  EXPECT_THAT(vrg.out, HasSubstr("vrg2.interface = 2\n"));

  const ProgramRun link = Ctl("--simulator show 3 --json");
  ASSERT_EQ(link.exit_code, 0) << link.err;
  EXPECT_EQ(link.out.rfind("{\"table\":3,\"ok\":true,\"parameters\":{\"address\":1,", 0), 0u)
      << link.out;
  EXPECT_THAT(link.out, HasSubstr("\"name\":\"Котельная №1\""));

  const ProgramRun modem = Ctl("--simulator --sim-modem-code 0 show 0");
  ASSERT_EQ(modem.exit_code, 0) << modem.err;
  EXPECT_THAT(modem.out, HasSubstr("modem_type = 0\n"));

  EXPECT_EQ(Ctl("--simulator show 4").exit_code, 2);
}

}  // namespace
}  // namespace kvarta::test
