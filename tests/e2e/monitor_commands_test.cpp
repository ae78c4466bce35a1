// The tool's commands and monitoring commands against the simulated
// controller: what goes on the wire (--trace), what is printed, the history
// file they share, and the watch loops ended by Ctrl-C.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>

#include "e2e/run_program.h"

namespace kvarta::test {
namespace {

const std::string kAdjuster = "--code 1111 --password 111111 ";

class MonitorCommandsTest : public CtlTest {
 protected:
  std::string HistoryFile() const { return home + "/INI/comm_history.ini"; }
  // A watch command's prints until n had come and those before the end
  // after Ctrl-C; status: its exit status.
  std::vector<std::string> Watch(const std::string& args, size_t n, int& status) {
    BackgroundProgram watch(KVARTACTL_PATH, "--home " + home + " " + args);
    return watch.InterruptAfter(n, status);
  }
};

TEST_F(MonitorCommandsTest, AnHourCommandOverAPeriodWritesTwelveFieldsAndHistoryListsIt) {
  // Without credentials the controller refuses the write, but the request
  // went out and the command is kept, as the menu keeps it.
  const ProgramRun refused =
      Ctl("--simulator --trace command 8 --server 1 --vrg 1 --run all --hours 2015-03-05T08 "
          "2015-03-06T10");
  EXPECT_EQ(refused.exit_code, 1) << refused.err;
  // Table 15, first field 0, 12 fields: 8, server 0, VRG 0, all runs, then
  // 15 3 5 8 and 15 3 6 10.
  EXPECT_TRUE(Has(refused.err, "0F 00 0C 08 00 00 FF 0F 03 05 08 0F 03 06 0A")) << refused.err;
  EXPECT_TRUE(Has(refused.err, "Не выполнена запись в таблицу 15.\n")) << refused.err;
  EXPECT_EQ(refused.out,
            "Опросить и отправить часовые данные ВРГ за период c 05.03.15 08ч по 06.03.15 10ч\n"
            "Сервер 1, ВРГ 1 (адр. 5), все нитки.\n");

  const ProgramRun written = Ctl("--simulator --trace " + kAdjuster + "command 4 --vrg 2 --run 1");
  ASSERT_EQ(written.exit_code, 0) << written.err;
  // The last completed hour: 8 fields, the period all zero.
  EXPECT_TRUE(Has(written.err, "0F 00 08 04 00 01 00 00 00 00 00")) << written.err;
  EXPECT_EQ(written.out,
            "Опросить часовые данные ВРГ за последний окончившийся час\n"
            "ВРГ 2 (адр. 6), н.1\n");

  const ProgramRun history = Ctl("history");
  ASSERT_EQ(history.exit_code, 0) << history.err;
  EXPECT_EQ(Lines(history.out),
            (std::vector<std::string>{
                "   1  Опросить и отправить часовые данные ВРГ  |  Сервер 1, ВРГ 1 (адр. 5), все "
                "нитки.",
                "      за период c 05.03.15 08ч по 06.03.15 10ч",
                "*  2  Опросить часовые данные ВРГ  |  ВРГ 2 (адр. 6), н.1",
                "*     за последний окончившийся час",
            }));
  const ProgramRun json = Ctl("history --json");
  ASSERT_EQ(json.exit_code, 0);
  EXPECT_TRUE(Has(json.out, "\"count\":2,\"current\":2,")) << json.out;
  EXPECT_TRUE(Has(json.out, "\"fields\":[8,0,0,255,15,3,5,8,15,3,6,10]")) << json.out;
  EXPECT_TRUE(Has(json.out, "\"fields\":[4,0,1,0,0,0,0,0]")) << json.out;
  struct stat st {};
  ASSERT_EQ(stat(HistoryFile().c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 22102);
}

TEST_F(MonitorCommandsTest, ChoicesAreCheckedBeforeAnythingIsWritten) {
  // A typo needs no line at all.
  const ProgramRun missing = Ctl("--simulator --trace command 4 --vrg 1");
  EXPECT_EQ(missing.exit_code, 2);
  EXPECT_TRUE(Has(missing.err, "Не задана нитка (--run N|all)")) << missing.err;
  EXPECT_FALSE(Has(missing.err, "> FF")) << missing.err;
  for (const char* bad :
       {"command 2 --server 1", "command 5 --vrg 1 --run 1 --hours 2015-03-05T08 2015-03-05T09",
        "command 4 --vrg 1 --run 1 --hours 2015-02-30T08 2015-03-01T00", "command 14",
        "command 8 --server 1 --vrg 1 --run 1 --hours 2015-03-05T08"}) {
    const ProgramRun run = Ctl(std::string("--simulator --trace ") + bad);
    EXPECT_EQ(run.exit_code, 2) << bad << "\n" << run.err;
    EXPECT_FALSE(Has(run.err, "> FF")) << bad;
  }
  // The VRG list and the servers are the controller's: the demo has two VRGs
  // (runs 2 and 1) and two servers.
  for (const char* absent : {"command 4 --vrg 3 --run 1", "command 4 --vrg 2 --run 2",
                             "command 1 --server 3 --vrg 1 --run 1"}) {
    const ProgramRun run = Ctl("--simulator --trace " + kAdjuster + absent);
    EXPECT_EQ(run.exit_code, 2) << absent << "\n" << run.err;
    EXPECT_FALSE(Has(run.err, "функция 2 (запись)")) << absent << ": nothing may be written";
  }
  struct stat st {};
  EXPECT_NE(stat(HistoryFile().c_str(), &st), 0) << "nothing was stored";
}

TEST_F(MonitorCommandsTest, PaymentNeedsYesAndTheRestartIsFunctionThirtyTwo) {
  const ProgramRun unasked = Ctl("--simulator --trace " + kAdjuster + "command 13");
  EXPECT_EQ(unasked.exit_code, 2);
  EXPECT_FALSE(Has(unasked.err, "> FF"));

  const ProgramRun paid = Ctl("--simulator --trace " + kAdjuster + "command 13 --yes");
  ASSERT_EQ(paid.exit_code, 0) << paid.err;
  EXPECT_TRUE(Has(paid.err, "Вы действительно хотите\nоплатить трафик?\nДа\n")) << paid.err;
  EXPECT_TRUE(Has(paid.err, "0F 00 04 0D 00 00 00")) << paid.err;
  EXPECT_EQ(paid.out, "Оплатить трафик \n");

  const ProgramRun restart = Ctl("--simulator --trace-secrets " + kAdjuster + "command 255");
  ASSERT_EQ(restart.exit_code, 0) << restart.err;
  EXPECT_EQ(restart.out, "");
  // The restart request carries no data beyond the credentials: function 32.
  EXPECT_TRUE(Has(restart.err, "CC 01 16 20 31 31 31 31 31 31")) << restart.err;
  EXPECT_TRUE(Has(restart.err, "функция 32 (перезапуск), пароль \"111111")) << restart.err;
  // A plain trace shows where the credentials go, not what they are.
  const ProgramRun masked = Ctl("--simulator --trace " + kAdjuster + "command 255");
  ASSERT_EQ(masked.exit_code, 0) << masked.err;
  EXPECT_TRUE(Has(masked.err, "CC 01 16 20 ** ** ** ** ** ** ** ** ** ** ** ** ** ** ** ** "))
      << masked.err;
  EXPECT_TRUE(Has(masked.err, "пароль ************, код ****")) << masked.err;
  EXPECT_EQ(Ctl("history --json").out.find("\"count\":1,"), 1u) << "the restart is not kept";
}

TEST_F(MonitorCommandsTest, HistoryRepeatSendsAnEntryAgainAndClearEmptiesTheFile) {
  ASSERT_EQ(Ctl("--simulator " + kAdjuster + "command 11").exit_code, 0);
  ASSERT_EQ(Ctl("--simulator " + kAdjuster + "command 12").exit_code, 0);

  const ProgramRun repeat = Ctl("--simulator --trace " + kAdjuster + "history repeat 1");
  ASSERT_EQ(repeat.exit_code, 0) << repeat.err;
  EXPECT_EQ(repeat.out, "Запросить состояние счета SIM-карты модема\n");
  EXPECT_TRUE(Has(repeat.err, "0F 00 04 0B 00 00 00")) << repeat.err;
  EXPECT_EQ(Count(repeat.err, "> FF"), 1u) << "only the write";
  const ProgramRun listed = Ctl("history --json");
  EXPECT_TRUE(Has(listed.out, "\"count\":2,\"current\":1,")) << listed.out;

  // Without a number: the current entry.
  const ProgramRun again = Ctl("--simulator --trace " + kAdjuster + "history repeat");
  ASSERT_EQ(again.exit_code, 0);
  EXPECT_TRUE(Has(again.err, "0F 00 04 0B 00 00 00"));

  EXPECT_EQ(Ctl("--simulator history repeat 3").exit_code, 2);
  EXPECT_EQ(Ctl("history clear").exit_code, 0);
  EXPECT_TRUE(Has(Ctl("history --json").out, "{\"count\":0,\"current\":null,\"entries\":[]}"));
  struct stat st {};
  ASSERT_EQ(stat(HistoryFile().c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 22102);
  EXPECT_EQ(Ctl("--simulator history repeat").exit_code, 1);
}

TEST_F(MonitorCommandsTest, DiagnosticsPrintTheDecodedLinesExactly) {
  const ProgramRun run = Ctl("--simulator --sim-diag 7:6:0 diagnostics");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 7u) << run.out;
  EXPECT_EQ(lines[0].rfind("Дата завершения последнего сеанса связи: ", 0), 0u);
  EXPECT_EQ(lines[6], "ВРГ №2. Нитка №2. Не получены  (STA_02)");

  const ProgramRun json = Ctl("--simulator --sim-diag 0:0:0,1:9:4 diagnostics --json");
  ASSERT_EQ(json.exit_code, 0);
  EXPECT_EQ(json.out.rfind("{\"lines\":[\"Неисправна EEPROM-память контроллера\",", 0), 0u)
      << json.out;
  EXPECT_TRUE(Has(json.out, "\"Сервер 2. Модем рестартовал\"")) << json.out;
  EXPECT_EQ(Count(json.out, "\n"), 1u);
}

TEST_F(MonitorCommandsTest, ClocksAsTheirWindowsShowThem) {
  const ProgramRun clock = Ctl("--simulator clock");
  ASSERT_EQ(clock.exit_code, 0) << clock.err;
  const std::vector<std::string> lines = Lines(clock.out);
  ASSERT_EQ(lines.size(), 4u) << clock.out;
  EXPECT_EQ(lines[1].rfind("В контроллере  ", 0), 0u);
  EXPECT_EQ(lines[2].rfind("В ЭВМ          ", 0), 0u);
  EXPECT_EQ(lines[3].rfind("Отклонение от ЭВМ, с: ", 0), 0u);
  const ProgramRun json = Ctl("--simulator clock --json");
  EXPECT_TRUE(Has(json.out, "\"deviation_s\":")) << json.out;
  EXPECT_FALSE(Has(json.out, "\"deviation_s\":null")) << json.out;

  // VRG 1 seven seconds ahead, VRG 2 never obtained: listed after it, empty.
  const ProgramRun vrg = Ctl("--simulator --sim-vrg-clocks +7,none vrg-clocks");
  ASSERT_EQ(vrg.exit_code, 0) << vrg.err;
  const std::vector<std::string> rows = Lines(vrg.out);
  ASSERT_EQ(rows.size(), 5u) << vrg.out;
  EXPECT_EQ(rows[1].rfind("ЭВМ\t\t", 0), 0u);
  EXPECT_EQ(rows[2].rfind("Контроллер\t\t", 0), 0u);
  EXPECT_EQ(rows[3].rfind("ВРГ №1\t5\t", 0), 0u);
  EXPECT_EQ(rows[3].substr(rows[3].size() - 3), "\t+7");
  EXPECT_EQ(rows[4].rfind("ВРГ №2\t6\t", 0), 0u);
  EXPECT_EQ(rows[4].back(), '\t');
  const ProgramRun vrg_json = Ctl("--simulator vrg-clocks --json");
  // The demo clocks: VRG 2 five seconds ahead first, VRG 1 three behind.
  EXPECT_TRUE(Has(vrg_json.out, "{\"device\":\"ВРГ №2\",\"address\":6,")) << vrg_json.out;
  EXPECT_TRUE(Has(vrg_json.out, "\"deviation_s\":5},{\"device\":\"ВРГ №1\",\"address\":5,"))
      << vrg_json.out;
  EXPECT_TRUE(Has(vrg_json.out, "\"deviation_s\":-3}]}")) << vrg_json.out;
}

TEST_F(MonitorCommandsTest, AnEmptySessionRecordIsToldAfterOneFieldOfTableNineteen) {
  const ProgramRun run = Ctl("--simulator --sim-session-length 0 --trace session read");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(Has(run.err, "Длина текста сообщения равна нулю.\n")) << run.err;
  EXPECT_EQ(Count(run.err, "> FF FF FF FF FF CC 01 0A 01 00 13 "), 1u) << run.err;
  EXPECT_EQ(run.out, "");
}

TEST_F(MonitorCommandsTest, SessionRecordIsReadShownSavedAndViewedFromItsFile) {
  const ProgramRun text = Ctl("--simulator --trace session read");
  ASSERT_EQ(text.exit_code, 0) << text.err;
  const std::vector<std::string> lines = Lines(text.out);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines.back().rfind("В буфере свободно ", 0), 0u);
  EXPECT_TRUE(Has(lines.back(), "  из 8000"));
  // The demo text fills less than one field: table 19 was read once.
  EXPECT_EQ(Count(text.err, "CC 01 0A 01 00 13 "), 1u);

  const ProgramRun hex = Ctl("--simulator --sim-session-length 20 session read --hex");
  ASSERT_EQ(hex.exit_code, 0);
  const std::vector<std::string> dump = Lines(hex.out);
  ASSERT_EQ(dump.size(), 3u) << hex.out;  // 21 bytes with the NUL, and the free bytes
  EXPECT_EQ(dump[0].size(), 66u);
  EXPECT_EQ(dump[2], "В буфере свободно 7980 байтов  из 8000");

  // Saved into COMMUNIC_SESSION under the proposed name.
  const ProgramRun saved = Ctl("--simulator session read --save");
  ASSERT_EQ(saved.exit_code, 0) << saved.err;
  EXPECT_TRUE(Has(saved.err, "Сохранено в файле " + home + "/COMMUNIC_SESSION/kvarta04-mc55it-"))
      << saved.err;
  const std::string file = home + "/own";
  ASSERT_EQ(Ctl("--simulator session read --save " + file).exit_code, 0);
  const std::string written = Slurp(file + ".txt");
  EXPECT_EQ(text.out.substr(0, 11), written.substr(0, 11));
  // A file that is there is replaced only with --yes.
  const ProgramRun kept = Ctl("--simulator session read --save " + file + ".txt");
  EXPECT_EQ(kept.exit_code, 1);
  EXPECT_TRUE(Has(kept.err, "Файл own.txt уже есть.\nВы хотите заменить его?\n")) << kept.err;
  EXPECT_EQ(Ctl("--simulator session read --yes --save " + file + ".txt").exit_code, 0);

  const ProgramRun viewed = Ctl("session view " + file + ".txt");
  ASSERT_EQ(viewed.exit_code, 0) << viewed.err;
  EXPECT_EQ(viewed.out, text.out);
  std::FILE* big = std::fopen((home + "/big.txt").c_str(), "wb");
  ASSERT_NE(big, nullptr);
  const std::string bytes(12601, 'a');
  std::fwrite(bytes.data(), 1, bytes.size(), big);
  std::fclose(big);
  const ProgramRun refused = Ctl("session view " + home + "/big.txt");
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_TRUE(Has(refused.err, "Длина файла превышает допустимую\n(д.б. не больше 12600\n"))
      << refused.err;
}

TEST_F(MonitorCommandsTest, RecordingModeWritesOnlyAChangeAndClearingWritesTheModeBack) {
  const std::string state = home + "/sim.state";
  const std::string sim = "--simulator --sim-state " + state + " --trace " + kAdjuster;
  const ProgramRun set = Ctl(sim + "session mode 2");
  ASSERT_EQ(set.exit_code, 0) << set.err;
  EXPECT_EQ(set.out,
            "Необходимость записи содержимого сеанса связи по инициативе контроллера: Запись "
            "только неудачных сеансов связи\n");
  // The demo controller records every session (1): field 4 alone changes.
  EXPECT_TRUE(Has(set.err, "00 03 04 01 02")) << set.err;
  const ProgramRun same = Ctl(sim + "session mode 2");
  ASSERT_EQ(same.exit_code, 0);
  EXPECT_EQ(Count(same.err, "> FF"), 1u) << "read only: nothing changed";
  EXPECT_EQ(Ctl(sim + "session mode 3").exit_code, 2);

  EXPECT_EQ(Ctl(sim + "session clear").exit_code, 2);
  const ProgramRun cleared = Ctl(sim + "session clear --yes");
  ASSERT_EQ(cleared.exit_code, 0) << cleared.err;
  EXPECT_TRUE(Has(cleared.err, "Вы действительно хотите очистить буфер\n"));
  EXPECT_EQ(Count(cleared.err, "> FF"), 2u);
  EXPECT_TRUE(Has(cleared.err, "CC 01 0A 01 00 03 04 01")) << cleared.err;
  const ProgramRun empty = Ctl(sim + "session read");
  EXPECT_TRUE(Has(empty.err, "Длина текста сообщения равна нулю.")) << empty.err;
}

TEST_F(MonitorCommandsTest, DiagnosticsWatchPrintsAgainOnlyWhenTheFlagsChange) {
  // A flag that blinks every 5 s of the controller's time, beside one that stays.
  int status = -1;
  const std::vector<std::string> prints =
      Watch("--simulator --sim-diag 0:0:0~,7:6:0 diagnostics --watch --json", 3, status);
  EXPECT_EQ(status, 0);
  ASSERT_GE(prints.size(), 3u);
  for (size_t i = 1; i < prints.size(); ++i) {
    EXPECT_NE(prints[i], prints[i - 1]) << "printed again without a change";
    EXPECT_EQ(Has(prints[i], "EEPROM"), !Has(prints[i - 1], "EEPROM"));
    EXPECT_TRUE(Has(prints[i], "STA_02"));
  }
}

TEST_F(MonitorCommandsTest, VrgClocksWatchReadsAgainAfterEachRead) {
  int status = -1;
  const std::vector<std::string> prints = Watch("--simulator vrg-clocks --watch --json", 3, status);
  EXPECT_EQ(status, 0);
  ASSERT_GE(prints.size(), 3u);
  for (const std::string& print : prints) {
    EXPECT_TRUE(Has(print, "\"device\":\"ВРГ №2\",\"address\":6,")) << print;
  }
}

TEST_F(MonitorCommandsTest, ALostModemLinkEndsTheWatch) {
  const ProgramRun run =
      Ctl("--simulator --sim-front modem --sim-modem-echo off --sim-modem-drop-after-requests 3 "
          "--via modem --phone 123 diagnostics --watch");
  EXPECT_EQ(run.exit_code, 1) << run.err;
  EXPECT_TRUE(Has(run.err, "Связь через модем прервана")) << run.err;
  // The simulated VRG data may change between two reads, so a second print is allowed.
  EXPECT_GE(Count(run.out, "Дата завершения последнего сеанса связи"), 1u) << run.out;
}

}  // namespace
}  // namespace kvarta::test
