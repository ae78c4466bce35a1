// The overview in the main window's client area against the simulated
// controller: not connected with the way to connect, identified without and
// then with write access, disconnected.
#include <gtest/gtest.h>

#include "gui/app/overview_panel.h"
#include "gui/gui_support.h"

namespace kvarta::gui {
namespace {

class OverviewDialogs : public TFormMain::Dialogs {
 public:
  bool RunConnection(TFormMain& main) override {
    ++connections;
    if (!connect) return false;
    MainSession& s = main.Session();
    ConnectModel m(main.HostObject(), s.store(), s.connector(), opener_);
    m.OnShow();
    m.OnConnect();
    return m.result();
  }
  bool RunLogOn(TFormMain&, LogOnModel& model) override {
    model.SetCode(code);
    model.SetPassword(password);
    model.Accept();
    return true;
  }
  bool connect = true;
  int connections = 0;
  std::string code = "1111", password = "111111";

 private:
  test::NoDialogs opener_;
};

class OverviewTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    auto d = std::make_unique<OverviewDialogs>();
    dialogs = d.get();
    Open({}, std::move(d));
  }
  OverviewPanel& Panel() { return *window->Overview(); }

  OverviewDialogs* dialogs = nullptr;
};

TEST_F(OverviewTest, FollowsConnectionLogOnAndDisconnection) {
  dialogs->connect = false;
  ASSERT_TRUE(QTest::qWaitFor(
      [this] { return !window->HostObject().Busy() && dialogs->connections == 1; }, 5000));
  EXPECT_EQ(Panel().Headline()->text(), "Нет связи с контроллером");
  EXPECT_TRUE(Panel().ConnectButton()->isVisible());
  EXPECT_FALSE(Panel().TableStateButton()->isVisible());

  // The button connects as the menu entry does; the wrong code is said.
  dialogs->connect = true;
  dialogs->code = "9999";
  Panel().ConnectButton()->click();
  ASSERT_TRUE(WaitConnected());
  QTest::qWait(50);
  EXPECT_EQ(dialogs->connections, 2);
  EXPECT_FALSE(Panel().ConnectButton()->isVisible());
  EXPECT_EQ(Panel().Value("Тип"), "kvr64");
  EXPECT_FALSE(Panel().Value("ВРГ 1").isEmpty());
  EXPECT_EQ(Panel().Value("Запись в контроллер"), "не разрешена: неверный код или пароль");

  dialogs->code = "1111";
  window->MenuAction("NUser")->trigger();
  EXPECT_EQ(Panel().Value("Запись в контроллер"), "разрешена");

  window->findChild<QPushButton*>("BitBtn3")->click();  // "Отключить связь"
  EXPECT_EQ(Panel().Headline()->text(), "Нет связи с контроллером");
  EXPECT_TRUE(Panel().ConnectButton()->isVisible());
}

}  // namespace
}  // namespace kvarta::gui
