// The commands and monitoring windows in the main window against the
// simulated controller: the command menus, the period dialog, the repeat
// panel and history window, the diagnostics and clock windows with their
// refresh, the session record viewer and the recording mode. With
// KVARTA_SCREENSHOTS set to a folder the windows are also saved as pictures.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>

#include "gui/gui_support.h"
#include "gui/monitor/command_menu_view.h"
#include "gui/monitor/form_comm_data.h"
#include "gui/monitor/form_dt.h"
#include "gui/monitor/form_need_seans_wr.h"
#include "gui/monitor/form_outo_control.h"
#include "gui/monitor/form_seans_audit.h"
#include "gui/monitor/form_stored_comm.h"
#include "gui/monitor/form_sum_date_par.h"
#include "gui/monitor/qt_monitor_dialogs.h"
#include "link/message_window.h"
#include "monitor/session_record.h"
#include "platform/atomic_file.h"

namespace kvarta::gui {
namespace {

// The menu chain "Наладка" > "Команда контроллеру" > an hour command > a
// server > a VRG, each menu drawn where the chain opens it over the window.
void SaveCommandMenuPicture(TFormMain& window) {
  const char* folder = std::getenv("KVARTA_SCREENSHOTS");
  if (!folder || !*folder) return;
  QMenu* setting = window.findChild<QMenu*>("Nsetting");
  QMenu* command = window.findChild<QMenu*>("NCommand");
  QMenu* servers = window.MenuAction("no8")->menu<QMenu*>();
  QAction* server1 = servers->actions().value(0);
  QMenu* vrgs = server1->menu<QMenu*>();
  QAction* vrg1 = vrgs->actions().value(0);
  QMenu* runs = vrg1->menu<QMenu*>();
  const QAction* opened[] = {command->menuAction(), window.MenuAction("no8"), server1, vrg1,
                             nullptr};
  QMenu* chain[] = {setting, command, servers, vrgs, runs};
  const QImage main = WithTitle(window.grab(), window.windowTitle());
  constexpr int kTitle = 27;
  QPoint at =
      window.menuBar()->actionGeometry(setting->menuAction()).bottomLeft() + QPoint(1, kTitle + 1);
  std::vector<std::pair<QPoint, QPixmap>> pictures;
  QRect area(QPoint(0, 0), main.size());
  for (int i = 0; i < 5; ++i) {
    QMenu* menu = chain[i];
    menu->popup(QPoint(0, 0));
    QApplication::processEvents();
    if (opened[i]) menu->setActiveAction(const_cast<QAction*>(opened[i]));
    QApplication::processEvents();
    pictures.push_back({at, menu->grab()});
    area |= QRect(at, menu->size());
    if (opened[i]) {
      at +=
          QPoint(menu->width() - 3, menu->actionGeometry(const_cast<QAction*>(opened[i])).y() - 4);
    }
  }
  for (int i = 4; i >= 0; --i) chain[i]->hide();
  QImage picture(area.size() + QSize(8, 8), QImage::Format_RGB32);
  picture.fill(QColor(0x3a, 0x4a, 0x5a));
  QPainter p(&picture);
  p.drawImage(0, 0, main);
  for (const auto& [where, pixmap] : pictures) p.drawPixmap(where, pixmap);
  p.end();
  picture.save(QString("%1/command_menu.png").arg(folder));
}

class MonitorWindowsTest : public MainWindowFixture {
 protected:
  void OpenConnected(const sim::SimulatorOptions& options = {}) {
    Open(options);
    window->resize(900, 600);
    ASSERT_TRUE(WaitConnected());
    QTest::qWait(50);
  }
  QtMonitorDialogs& Windows() { return window->MonitorDialogWindows(); }
  // Plays the next window that opens.
  template <typename Form>
  void OnNext(std::function<void(Form&)> play) {
    Windows().on_shown = [this, play](QDialog& dialog) {
      Windows().on_shown = nullptr;
      auto* form = qobject_cast<Form*>(&dialog);
      EXPECT_NE(form, nullptr) << dialog.objectName().toStdString();
      if (form) play(*form);
      // A failed expectation must not leave the test waiting on a window.
      if (dialog.isVisible()) {
        ADD_FAILURE() << dialog.objectName().toStdString() << " was left open";
        dialog.done(QDialog::Rejected);
      }
    };
  }
  QAction* Leaf(const char* item, std::initializer_list<int> path) {
    QAction* a = window->MenuAction(item);
    for (int index : path) {
      if (!a || !a->menu<QMenu*>()) return nullptr;
      a = a->menu<QMenu*>()->actions().value(index);
    }
    return a;
  }
  std::array<uint8_t, 12> Table15() {
    std::array<uint8_t, 12> t{};
    WithController([&t](sim::Controller& c) { std::memcpy(t.data(), c.Field(15, 0), t.size()); });
    return t;
  }
};

TEST_F(MonitorWindowsTest, CommandMenusPeriodDialogRepeatPanelAndHistory) {
  OpenConnected();
  for (const char* entry : {"N3", "N17", "N12", "N16", "NrMess", "N14", "N5", "no2", "no14"}) {
    EXPECT_TRUE(window->MenuAction(entry)->isEnabled()) << entry;
  }
  EXPECT_FALSE(window->MenuAction("no3")->isVisible());
  // The markers stand in the menu's right-hand column.
  EXPECT_EQ(window->MenuAction("no5")->text(), "Опросить суточные данные ВРГ\tСУТКИ");
  QAction* server1 = Leaf("no8", {0});
  ASSERT_NE(server1, nullptr);
  EXPECT_EQ(server1->text().toStdString(), window->Session().facts().server_labels.server1);
  QAction* all_runs = Leaf("no8", {0, 0, 2});
  ASSERT_NE(all_runs, nullptr);
  EXPECT_EQ(all_runs->text(), "Все нитки ВРГ");

  // An hour command over a period, through the period dialog.
  OnNext<TFormComm_Data>([](TFormComm_Data& form) {
    EXPECT_EQ(form.size(), QSize(690, 220));
    EXPECT_FALSE(form.findChild<QDateEdit*>("td_beg")->isEnabled());
    form.findChild<QRadioButton*>("RadioButton2")->click();
    EXPECT_TRUE(form.findChild<QDateEdit*>("td_beg")->isEnabled());
    form.findChild<QDateEdit*>("td_beg")->setDate(QDate(2015, 3, 5));
    form.findChild<QComboBox*>("cb_beg")->setCurrentIndex(8);
    form.findChild<QDateEdit*>("td_end")->setDate(QDate(2015, 3, 6));
    form.findChild<QComboBox*>("cb_end")->setCurrentIndex(10);
    Shot(&form, "period");
    form.findChild<QPushButton*>("BitBtn1")->click();
  });
  all_runs->trigger();
  EXPECT_EQ(Table15(), (std::array<uint8_t, 12>{8, 0, 0, 255, 15, 3, 5, 8, 15, 3, 6, 10}));
  EXPECT_EQ(window->RepeatLabel()->text(),
            "Опросить и отправить часовые данные ВРГ за период c 05.03.15 08ч по 06.03.15 10ч\n"
            "Сервер 1, ВРГ 1 (адр. 5), все нитки.");
  EXPECT_TRUE(window->RepeatButton()->isEnabled());
  SaveCommandMenuPicture(*window);

  // A leaf item of the first level, then the history window chooses the
  // first entry again.
  window->MenuAction("no11")->trigger();
  EXPECT_EQ(Table15()[0], 11);
  OnNext<TFormStoredComm>([](TFormStoredComm& form) {
    EXPECT_EQ(form.width(), 590);
    QTableWidget* grid = form.Grid();
    ASSERT_EQ(grid->rowCount(), 4);  // entry 1 with its period, entry 2 with its second line
    EXPECT_EQ(grid->currentRow(), 2);
    EXPECT_EQ(grid->item(1, 0)->text(), "");
    Shot(&form, "history");
    grid->setCurrentCell(1, 1);  // the period row stands for its entry
    form.findChild<QPushButton*>("BitBtn4")->click();
  });
  window->StoredButton()->click();
  EXPECT_EQ(Table15()[0], 8);
  EXPECT_EQ(window->Session().monitor().history().CurrentIndex(), 0);

  // "Повторить последнюю команду" sends the current entry once more.
  WithController([](sim::Controller& c) { *c.Field(15, 0) = 0; });
  window->RepeatButton()->click();
  EXPECT_EQ(Table15()[0], 8);

  // "Очистить список" after its question empties the list and the panel.
  window->HostObject().message_override = [](const MessageWindowModel& m) {
    return m.line1 == "Вы уверены, что хотите";
  };
  OnNext<TFormStoredComm>(
      [](TFormStoredComm& form) { form.findChild<QPushButton*>("BitBtn1")->click(); });
  window->StoredButton()->click();
  EXPECT_TRUE(window->Session().monitor().history().Empty());
  EXPECT_FALSE(window->RepeatButton()->isEnabled());
  EXPECT_EQ(window->RepeatLabel()->text(), "");
}

TEST_F(MonitorWindowsTest, DiagnosticsWindowRefreshesUntilDisconnectClosesIt) {
  sim::SimulatorOptions options;
  options.diag = std::vector<sim::DiagFlag>{{7, 6, 0, false}, {0, 2, 0, false}, {0, 9, 4, false},
                                            {1, 9, 5, false}, {6, 0, 0, false}, {6, 2, 2, false}};
  OpenConnected(options);
  int reads_seen = 0;
  OnNext<TFormOutoControl>([&](TFormOutoControl& form) {
    EXPECT_EQ(form.width(), 590);
    const QString text = form.Memo()->toPlainText();
    EXPECT_TRUE(text.endsWith("ВРГ №2. Нитка №2. Не получены  (STA_02)")) << text.toStdString();
    EXPECT_TRUE(text.startsWith("Сервер 1. Не получен ответ на команду (телефон)"));
    Shot(&form, "diagnostics");
    EXPECT_EQ(form.RefreshButton()->text(), "Обновлять данные");
    form.RefreshButton()->click();
    EXPECT_EQ(form.RefreshButton()->text(), "Не обновлять данные");
    // Reads follow one another while the window waits.
    FrameLog& log = window->Session().link().frame_log;
    const int watch = log.AddObserver([&](const FrameRecord& r) {
      if (r.kind == FrameKind::kFrame && r.direction == TraceDirection::kSent) ++reads_seen;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return reads_seen >= 2; }, 5000));
    log.RemoveObserver(watch);
    // The connection ends while the window is open: it closes.
    window->Session().EndConnection();
  });
  window->MenuAction("N17")->trigger();
  EXPECT_GE(reads_seen, 2);
  EXPECT_EQ(Windows().MonitoringWindow(), nullptr);
  EXPECT_FALSE(window->Session().facts().connection_established);
}

TEST_F(MonitorWindowsTest, ClockWindowsShowTheControllerAndTheVrgs) {
  OpenConnected();
  OnNext<TFormDt>([this](TFormDt& form) {
    // While the window waits, the main window's call timers may use the line.
    EXPECT_FALSE(window->HostObject().Busy());
    EXPECT_EQ(form.size(), QSize(336, 204));
    EXPECT_EQ(form.ControllerTime()->text().size(), 8);
    Shot(&form, "clock");
    form.RefreshButton()->click();
    EXPECT_EQ(form.RefreshButton()->text(), "Не обновлять данные");
    const QString first = form.ControllerTime()->text();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.ControllerTime()->text() != first; }, 5000));
    form.findChild<QPushButton*>("BitBtn1")->click();
  });
  window->MenuAction("N3")->trigger();
  EXPECT_EQ(Windows().MonitoringWindow(), nullptr);

  OnNext<TFormSum_Date_Par>([](TFormSum_Date_Par& form) {
    EXPECT_EQ(form.size(), QSize(424, 288));
    EXPECT_EQ(form.Cell(0, 0)->text(), " ЭВМ");
    EXPECT_EQ(form.Cell(1, 0)->text(), " Контроллер");
    // Sorted by deviation: VRG 2 (+5) before VRG 1 (-3); rows 3 and 4 unused.
    EXPECT_EQ(form.Cell(2, 0)->text(), " ВРГ №2");
    EXPECT_EQ(form.Cell(2, 3)->text(), "+5");
    EXPECT_EQ(form.Cell(3, 0)->text(), " ВРГ №1");
    EXPECT_EQ(form.Cell(3, 3)->text(), "-3");
    EXPECT_EQ(form.Cell(4, 0)->text(), "");
    EXPECT_EQ(form.Cell(4, 2)->palette().color(QPalette::Window), QColor(0xE3, 0xE3, 0xE3));
    Shot(&form, "vrg_clocks");
    form.findChild<QPushButton*>("BitBtn2")->click();
  });
  window->MenuAction("N12")->trigger();
  EXPECT_EQ(window->Bar1().PanelText(2), "");
}

TEST_F(MonitorWindowsTest, SessionRecordViewerSavesAndShowsItsFile) {
  OpenConnected();
  const std::string saved = Home() + "/COMMUNIC_SESSION/record.txt";
  Windows().choose_file = [&saved](const FileDialogSpec& spec, bool save) {
    EXPECT_EQ(spec.initial_folder.substr(spec.initial_folder.size() - 16), "COMMUNIC_SESSION");
    return std::optional<std::string>(save ? saved.substr(0, saved.size() - 4) : saved);
  };
  OnNext<TFormSeans_Audit>([](TFormSeans_Audit& form) {
    EXPECT_EQ(form.size(), QSize(810, 604));
    EXPECT_TRUE(form.Memo()->font().fixedPitch());
    EXPECT_TRUE(form.FreeLabel()->text().startsWith("В буфере свободно "));
    form.findChild<QPushButton*>("BitBtn3")->click();
    EXPECT_EQ(form.Memo()->BarColumn(), kHexCharacterColumn);
    EXPECT_EQ(form.findChild<QPushButton*>("BitBtn3")->text(), "Символьный вид");
    Shot(&form, "session_hex");
    form.findChild<QPushButton*>("BitBtn3")->click();
    EXPECT_EQ(form.Memo()->BarColumn(), 0);
    Shot(&form, "session");
    form.findChild<QPushButton*>("BitBtn2")->click();
    form.findChild<QPushButton*>("BitBtn1")->click();
  });
  window->MenuAction("NrMess")->trigger();
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(saved, bytes));
  EXPECT_FALSE(bytes.empty());

  OnNext<TFormSeans_Audit>([](TFormSeans_Audit& form) {
    EXPECT_TRUE(form.windowTitle().endsWith("(файл record.txt)"));
    EXPECT_FALSE(form.findChild<QPushButton*>("BitBtn2")->isVisible());
    form.findChild<QPushButton*>("BitBtn1")->click();
  });
  window->MenuAction("N14")->trigger();

  OnNext<TFormNeed_Seans_Wr>([](TFormNeed_Seans_Wr& form) {
    EXPECT_EQ(form.size(), QSize(490, 168));
    EXPECT_EQ(form.List()->currentIndex(), 1);  // the demo controller records every session
    form.List()->setCurrentIndex(2);
    form.findChild<QPushButton*>("BitBtn3")->click();
  });
  window->MenuAction("N16")->trigger();
  uint8_t mode = 0;
  WithController([&mode](sim::Controller& c) { mode = *c.Field(3, 4); });
  EXPECT_EQ(mode, 2);
}

TEST(MonitorWidgetsTest, AWaitingWindowPausesTheOperationItRunsIn) {
  QtHost host;
  {
    const QtHost::Operation menu(host);
    EXPECT_TRUE(host.Busy());
    {
      const QtHost::Idle waiting(host);
      EXPECT_FALSE(host.Busy());
      {
        const QtHost::Operation tick(host);
        EXPECT_TRUE(host.Busy());
      }
      EXPECT_FALSE(host.Busy());
    }
    EXPECT_TRUE(host.Busy());
  }
  EXPECT_FALSE(host.Busy());
}

TEST(MonitorWidgetsTest, FiltersNameTheirPatternsAndMarkersGoToTheirColumn) {
  EXPECT_EQ(FileDialogFilters("Data Files (*.cnf)|*.cnf|DataFiles(*.txt)|*.txt|DataFiles(*.txt; "
                              "*.cst), |*.txt; *.cst|DataFiles(*.*)|*.*"),
            (QStringList{"Data Files (*.cnf)", "DataFiles (*.txt)", "DataFiles (*.txt *.cst)",
                         "DataFiles (*.*)"}));
  EXPECT_EQ(CommandMenuText("Опросить часовые данные ВРГ              ЧАС", 4),
            "Опросить часовые данные ВРГ\tЧАС");
  EXPECT_EQ(CommandMenuText("Все серверы    ", 8), "Все серверы    ");
  EXPECT_EQ(CommandMenuText("Оплатить трафик", 13), "Оплатить трафик");
}

}  // namespace
}  // namespace kvarta::gui
