// The overview in the main window's client area against the simulated
// controller: not connected with the way to connect, identified with and
// without write access (kept current by a new log-on), a destroyed table
// with the way to the table-state window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "connection/connect_model.h"
#include "gui/app/form_main.h"
#include "gui/app/overview_panel.h"
#include "support/no_dialogs.h"
#include "support/sim_session.h"

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

// Leaves the table-state window with "Выход" whenever it shows.
void LeaveTableStateWindows(QObject* owner, int* shown) {
  auto* timer = new QTimer(owner);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [shown] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() != "TFormTableInfo" || !w->isVisible()) continue;
      ++*shown;
      w->findChild<QPushButton*>("BitBtn3")->click();
    }
  });
  timer->start();
}

class OverviewTest : public ::testing::Test {
 protected:
  void TearDown() override { window.reset(); }
  void Open(const sim::SimulatorOptions& options = {}) {
    sim = std::make_unique<test::SimSession>(options);
    ASSERT_TRUE(sim->started);
    auto d = std::make_unique<OverviewDialogs>();
    dialogs = d.get();
    window = std::make_unique<TFormMain>(sim->folders(), sim->ports, std::move(d));
    window->show();
  }
  // Waits until the start-up (or the log-on) has ended with the overview's headline.
  bool WaitHeadline(const QString& text) {
    return QTest::qWaitFor(
        [&] { return !window->HostObject().Busy() && Panel().Headline()->text() == text; }, 10000);
  }
  OverviewPanel& Panel() { return *window->Overview(); }

  QObject timers;
  std::unique_ptr<test::SimSession> sim;
  std::unique_ptr<TFormMain> window;
  OverviewDialogs* dialogs = nullptr;
};

TEST_F(OverviewTest, NotConnectedOffersTheConnectionAndConnectsFromTheButton) {
  Open();
  dialogs->connect = false;
  ASSERT_TRUE(QTest::qWaitFor([this] { return dialogs->connections == 1; }, 5000));
  ASSERT_TRUE(WaitHeadline("Нет связи с контроллером"));
  EXPECT_TRUE(Panel().ConnectButton()->isVisible());
  EXPECT_FALSE(Panel().TableStateButton()->isVisible());

  dialogs->connect = true;
  Panel().ConnectButton()->click();
  ASSERT_TRUE(
      QTest::qWaitFor([this] { return window->Session().facts().connection_established; }, 10000));
  QTest::qWait(50);
  EXPECT_EQ(dialogs->connections, 2);
  EXPECT_FALSE(Panel().ConnectButton()->isVisible());
  EXPECT_EQ(Panel().Value("Тип"), "kvr64");
  EXPECT_EQ(Panel().Value("Порт").left(5), "COM1 ");
  EXPECT_EQ(Panel().Value("Запись в контроллер"), "разрешена");

  window->findChild<QPushButton*>("BitBtn3")->click();  // "Отключить связь"
  EXPECT_EQ(Panel().Headline()->text(), "Нет связи с контроллером");
  EXPECT_TRUE(Panel().ConnectButton()->isVisible());
}

TEST_F(OverviewTest, WrongCredentialsAreSaidAndANewLogOnUpdatesTheOverview) {
  Open();
  dialogs->code = "9999";
  ASSERT_TRUE(
      QTest::qWaitFor([this] { return window->Session().facts().connection_established; }, 10000));
  QTest::qWait(50);
  EXPECT_NE(Panel().Headline()->text(), "Нет связи с контроллером");
  EXPECT_EQ(Panel().Value("Запись в контроллер"), "не разрешена: неверный код или пароль");
  EXPECT_FALSE(Panel().Value("ВРГ 1").isEmpty());

  dialogs->code = "1111";
  window->MenuAction("NUser")->trigger();
  EXPECT_EQ(Panel().Value("Запись в контроллер"), "разрешена");
}

TEST_F(OverviewTest, DestroyedTableIsShownWithTheWayToTheTableStateWindow) {
  int table_state_shown = 0;
  LeaveTableStateWindows(&timers, &table_state_shown);
  sim::SimulatorOptions options;
  options.destroyed_tables = {9};
  Open(options);
  ASSERT_TRUE(
      QTest::qWaitFor([this] { return window->Session().facts().connection_established; }, 10000));
  QTest::qWait(50);
  EXPECT_EQ(table_state_shown, 1);  // the start-up's own
  EXPECT_EQ(Panel().Value("Состояние"), "Разрушена таблица 9");
  ASSERT_TRUE(Panel().TableStateButton()->isVisible());
  Panel().TableStateButton()->click();
  EXPECT_EQ(table_state_shown, 2);
}

}  // namespace
}  // namespace kvarta::gui
