// The main window on the offscreen platform against a simulated controller:
// start-up, status bars, menus, Esc abort, the one-operation guard and the
// message window.
#include <gtest/gtest.h>

#include <QAction>
#include <QStatusBar>

#include "gui/gui_support.h"
#include "gui/link/form_ques.h"

namespace kvarta::gui {
namespace {

class MainWindowTest : public MainWindowFixture {
 protected:
  bool Visible(const char* name) { return window->MenuAction(name)->isVisible(); }
};

TEST_F(MainWindowTest, StartUpConnectsIdentifiesAndOpensTheMenus) {
  Open();
  EXPECT_FALSE(Visible("N4"));  // every top item hidden until the start-up decides
  ASSERT_TRUE(WaitConnected());
  QTest::qWait(50);
  EXPECT_EQ(adjuster->connections, 1);
  EXPECT_EQ(adjuster->logons, 1);
  EXPECT_EQ(window->Bar1().PanelText(0), " COM1,   9600 бит/с");
  EXPECT_EQ(window->Bar1().PanelText(1), " Адр. 1");
  EXPECT_TRUE(window->Session().facts().write_access);
  for (const char* top : {"N4", "NWorkPar", "NData", "Nsetting", "Nconnect", "Nvers"}) {
    EXPECT_TRUE(Visible(top)) << top;
  }
  EXPECT_FALSE(Visible("NProgr_Wr"));
  EXPECT_TRUE(window->RepeatPanel()->isVisible());
  EXPECT_FALSE(window->ModemPanel()->isVisible());
  EXPECT_TRUE(window->MenuAction("N11")->isEnabled());
  EXPECT_TRUE(window->MenuAction("NUser")->isEnabled());

  window->MenuAction("NUser")->trigger();
  EXPECT_EQ(adjuster->logons, 2);
  EXPECT_TRUE(window->Session().facts().write_access);
}

TEST_F(MainWindowTest, EscAnywhereAbortsTheRunningExchange) {
  sim::SimulatorOptions options;
  options.fault.kind = sim::FaultKind::kSilence;
  Open(options);
  // The identification waits on a silent line; Esc typed into the main
  // window ends it at once, without the retry question.
  QTimer::singleShot(800, window.get(), [this] { QTest::keyClick(window.get(), Qt::Key_Escape); });
  ASSERT_TRUE(
      QTest::qWaitFor([this] { return window->Session().link().result_code == 19; }, 10000));
  QTest::qWait(50);
  EXPECT_EQ(window->HostObject().MessagesShown(), 0);
  EXPECT_FALSE(window->Session().facts().connection_established);
  EXPECT_FALSE(Visible("NWorkPar"));
}

TEST_F(MainWindowTest, NoSecondOperationStartsInsideARunningOne) {
  sim::SimulatorOptions options;
  options.fault.kind = sim::FaultKind::kDelay;
  options.fault.delay_ms = 700;
  options.fault.count = 2;
  Open(options);
  // While the start-up exchanges pump events, the log-on menu and the timers
  // that would talk to the line are refused.
  bool busy_seen = false;
  QTimer::singleShot(900, window.get(), [this, &busy_seen] {
    busy_seen = window->HostObject().Busy();
    window->MenuAction("NUser")->trigger();
    window->MenuAction("Nconnect")->trigger();
  });
  ASSERT_TRUE(WaitConnected());
  QTest::qWait(200);
  EXPECT_TRUE(busy_seen);
  EXPECT_EQ(adjuster->connections, 1);
  EXPECT_EQ(adjuster->logons, 1);  // the start-up's own log-on only
}

TEST_F(MainWindowTest, DisconnectButtonClosesTheLineAndForgetsTheCredentials) {
  Open();
  ASSERT_TRUE(WaitConnected());
  QTest::qWait(50);
  window->findChild<QPushButton*>("BitBtn3")->click();
  MainSession& s = window->Session();
  EXPECT_FALSE(s.facts().connection_established);
  EXPECT_FALSE(s.link().Connected());
  EXPECT_FALSE(s.facts().write_access);
  EXPECT_EQ(s.link().write_password[0], ' ');
  EXPECT_FALSE(Visible("NWorkPar"));
  EXPECT_TRUE(Visible("Nconnect"));
  EXPECT_FALSE(window->RepeatPanel()->isVisible());
}

TEST_F(MainWindowTest, StartUpOverTheSimulatedModemShowsTheCall) {
  sim::SimulatorOptions options;
  options.front = sim::FrontKind::kModem;
  Open(options);
  // Before the start timer fires: the phone kind with one subscriber.
  ConnectionSettings& s = window->Session().store().settings;
  s.curr.conn_prz = 1;
  s.phone_book.users_num = 1;
  s.phone_book.slots[0] = Subscriber{"Котельная", 1, 1, "(044) 123-45-67"};
  ASSERT_TRUE(WaitConnected(20000));
  QTest::qWait(50);
  EXPECT_TRUE(window->Session().modem_connected());
  EXPECT_TRUE(window->ModemPanel()->isVisible());
  EXPECT_EQ(window->CallDurationLabel()->text(), "00:00:00");
  EXPECT_TRUE(window->findChild<QStatusBar*>("StatusBar2")->isVisible());
  ASSERT_TRUE(
      QTest::qWaitFor([this] { return window->CallDurationLabel()->text() != "00:00:00"; }, 3000));
  window->findChild<QPushButton*>("BitBtn3")->click();  // "Отключить связь" hangs up
  EXPECT_FALSE(window->Session().modem_connected());
  EXPECT_FALSE(window->ModemPanel()->isVisible());
}

TEST_F(MainWindowTest, StartUpThroughTheSimulatedAdapterAndADestroyedTable) {
  sim::SimulatorOptions options;
  options.front = sim::FrontKind::kAdapter;
  options.destroyed_tables = {9};
  // The table-state window is offered; leaving it goes on with the start-up.
  bool offered = false;
  WhenShown("TFormTableInfo", [&offered](QWidget* w) {
    offered = true;
    w->findChild<QPushButton*>("BitBtn3")->click();  // "Выход"
  });
  Open(options);
  window->Session().store().settings.curr.conn_prz = 2;
  ASSERT_TRUE(WaitConnected());
  EXPECT_TRUE(offered);
  QTest::qWait(50);
  EXPECT_TRUE(window->Session().facts().write_access);
  // The message stays for the message timer's three seconds.
  EXPECT_EQ(window->Bar1().PanelText(2), "Разрушена таблица 9");
  EXPECT_TRUE(QTest::qWaitFor([this] { return window->Bar1().PanelText(2).empty(); }, 6000));
}

TEST(MessageWindowTest, SizesFollowTheKind) {
  const MessageWindowModel one_line = BuildMessageWindow(kMessagePlain, "Готово", "");
  TFormQues plain(one_line);
  EXPECT_EQ(plain.size(), QSize(one_line.width, 131));
  EXPECT_TRUE(plain.OkButton()->isVisibleTo(&plain));
  EXPECT_FALSE(plain.YesButton()->isVisibleTo(&plain));

  const MessageWindowModel retry = BuildMessageWindow(
      kMessageRetry, "Не выполнено чтение из таблицы 0.", "Команда 1.  Устройство не отвечает");
  TFormQues question(retry);
  EXPECT_EQ(question.height(), 183);
  EXPECT_EQ(question.Line(2)->text(), "Повторить попытку?");
  EXPECT_TRUE(question.YesButton()->isVisibleTo(&question));
  EXPECT_TRUE(question.NoButton()->isVisibleTo(&question));
  QTimer::singleShot(0, &question, [&question] {
    EXPECT_EQ(question.focusWidget(), question.YesButton());
    QTest::keyClick(&question, Qt::Key_Escape);  // Esc answers "Нет"
  });
  question.exec();
  EXPECT_FALSE(question.QuestionAnswer());

  TFormQues error(BuildMessageWindow(kMessageError, "Коммуникационный порт СОМ3 недоступен", ""));
  EXPECT_EQ(error.windowTitle(), "Ошибка");
  EXPECT_EQ(error.height(), 131);
}

}  // namespace
}  // namespace kvarta::gui
