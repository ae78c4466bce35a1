// "Отчет для сервисной службы" in the "Общее" menu: offered once connected,
// it reads the controller, asks for the file with the save dialog and writes
// the report there.
#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <fstream>
#include <sstream>

#include "app/service_report.h"
#include "connection/connect_model.h"
#include "gui/app/form_main.h"
#include "gui/config/qt_config_dialogs.h"
#include "support/no_dialogs.h"
#include "support/sim_session.h"

namespace kvarta::gui {
namespace {

class ReportDialogs : public TFormMain::Dialogs {
 public:
  bool RunConnection(TFormMain& main) override {
    MainSession& s = main.Session();
    ConnectModel m(main.HostObject(), s.store(), s.connector(), opener_);
    m.OnShow();
    m.OnConnect();
    return m.result();
  }
  bool RunLogOn(TFormMain&, LogOnModel& model) override {
    model.SetCode("1111");
    model.SetPassword("111111");
    model.Accept();
    return true;
  }

 private:
  test::NoDialogs opener_;
};

TEST(ServiceReportWindowTest, MenuEntryAsksForTheFileAndWritesTheReport) {
  test::SimSession sim;
  ASSERT_TRUE(sim.started);
  TFormMain window(sim.folders(), sim.ports, std::make_unique<ReportDialogs>());
  window.show();
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return window.Session().facts().connection_established; }, 10000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window.HostObject().Busy(); }, 10000));
  QAction* entry = window.MenuAction("NReport");
  ASSERT_NE(entry, nullptr);
  EXPECT_TRUE(entry->isVisible());
  EXPECT_TRUE(entry->isEnabled());

  const std::string file = sim.home.File("report.txt");
  std::string title, proposal;
  window.ConfigDialogs().save_file_override = [&](const FileDialogRequest& r, std::string& path) {
    title = r.title;
    proposal = r.path;
    path = file;
    return true;
  };
  entry->trigger();
  EXPECT_EQ(title, kServiceReportDialogTitle);
  EXPECT_NE(proposal.find("/report-"), std::string::npos) << proposal;
  std::ostringstream read;
  read << std::ifstream(file).rdbuf();
  const std::string text = read.str();
  EXPECT_EQ(text.rfind("Отчет для сервисной службы\n", 0), 0u) << text.substr(0, 200);
  EXPECT_NE(text.find("Связь: Вид связи: "), std::string::npos);
}

}  // namespace
}  // namespace kvarta::gui
