// The "Общее" menu's own windows beside the specified ones: the service
// report (offered once connected, it reads the controller, asks for the file
// and writes the report) and the frame monitor (open at any time, it follows
// the exchange as it happens).
#include <gtest/gtest.h>

#include <QAction>
#include <QPlainTextEdit>
#include <fstream>
#include <sstream>

#include "app/frame_monitor_model.h"
#include "app/service_report.h"
#include "gui/app/form_frame_monitor.h"
#include "gui/config/qt_config_dialogs.h"
#include "gui/gui_support.h"
#include "link/table_service.h"

namespace kvarta::gui {
namespace {

class GeneralMenuTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    Open();
    ASSERT_TRUE(WaitConnected());
    ASSERT_TRUE(WaitIdle());
  }
  std::string Slurp(const std::string& path) {
    std::ostringstream read;
    read << std::ifstream(path).rdbuf();
    return read.str();
  }
};

TEST_F(GeneralMenuTest, ReportEntryAsksForTheFileAndWritesTheReport) {
  QAction* entry = window->MenuAction("NReport");
  ASSERT_NE(entry, nullptr);
  EXPECT_TRUE(entry->isVisible());
  EXPECT_TRUE(entry->isEnabled());

  const std::string file = sim->home.File("report.txt");
  std::string title, proposal;
  window->ConfigDialogs().save_file_override = [&](const FileDialogRequest& r, std::string& path) {
    title = r.title;
    proposal = r.path;
    path = file;
    return true;
  };
  entry->trigger();
  EXPECT_EQ(title, kServiceReportDialogTitle);
  EXPECT_NE(proposal.find("/report-"), std::string::npos) << proposal;
  const std::string text = Slurp(file);
  EXPECT_EQ(text.rfind("Отчет для сервисной службы\n", 0), 0u) << text.substr(0, 200);
  EXPECT_NE(text.find("Связь: Вид связи: "), std::string::npos);
}

TEST_F(GeneralMenuTest, FrameMonitorFollowsTheExchangeAndHidesCredentials) {
  QAction* entry = window->MenuAction("NFrames");
  ASSERT_NE(entry, nullptr);
  EXPECT_TRUE(entry->isVisible());
  entry->trigger();
  TFormFrameMonitor* monitor = window->FrameMonitor();
  ASSERT_NE(monitor, nullptr);
  EXPECT_TRUE(monitor->isVisible());
  EXPECT_EQ(monitor->windowTitle(), "Монитор обмена");
  QTableWidget* table = monitor->Table();
  // The start-up's frames are there at once: the log-on went with the
  // adjuster's password, which the monitor never shows.
  ASSERT_GT(table->rowCount(), 1);
  const int before = table->rowCount();
  bool credentials_seen = false;
  for (const FrameMonitorRow& row : monitor->Model().rows()) {
    EXPECT_EQ(row.hex.find("31 31 31 31 31 31"), std::string::npos) << row.hex;
    credentials_seen =
        credentials_seen || row.decoded.find("пароль ************") != std::string::npos;
  }
  EXPECT_TRUE(credentials_seen);

  // An exchange while the monitor is open shows up in it; paused, it waits.
  monitor->PauseButton()->click();
  EXPECT_EQ(monitor->PauseButton()->text(), "Продолжить");
  ConfigImage image;
  ASSERT_TRUE(ReadTableFields(window->Session().link(), image, {0, 0, 18}, nullptr, false));
  monitor->Poll();
  EXPECT_EQ(table->rowCount(), before);
  EXPECT_NE(monitor->StatusLabel()->text().indexOf("(пауза)"), -1);
  monitor->PauseButton()->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return table->rowCount() > before; }, 5000));
  const int last = table->rowCount() - 1;
  EXPECT_EQ(table->item(last, static_cast<int>(FrameColumn::kDirection))->text(), "←");
  EXPECT_EQ(table->item(last, static_cast<int>(FrameColumn::kCrc))->text(), "верна");
  EXPECT_FALSE(table->item(last, static_cast<int>(FrameColumn::kLatency))->text().isEmpty());
  table->selectRow(last);
  EXPECT_NE(monitor->Details()->toPlainText().indexOf("принято"), -1);
  Shot(monitor, "frames");

  const std::string file = sim->home.File("frames.txt");
  window->ConfigDialogs().save_file_override = [&](const FileDialogRequest&, std::string& path) {
    path = file;
    return true;
  };
  monitor->SaveButton()->click();
  const std::string text = Slurp(file);
  EXPECT_EQ(text, monitor->Model().Text());
  EXPECT_NE(text.find(" > FF"), std::string::npos);

  monitor->ClearButton()->click();
  EXPECT_EQ(table->rowCount(), 0);
  EXPECT_GT(window->Session().link().frame_log.records().size(), 0u) << "the report keeps them";
  // Opened again, it is the same window.
  monitor->close();
  entry->trigger();
  EXPECT_EQ(window->FrameMonitor(), monitor);
  EXPECT_TRUE(monitor->isVisible());
}

}  // namespace
}  // namespace kvarta::gui
