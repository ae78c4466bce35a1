#include "gui/app/form_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/param_actions.h"
#include "app/service_report.h"
#include "gui/app/form_about.h"
#include "gui/app/form_frame_monitor.h"
#include "gui/app/overview_panel.h"
#include "gui/config/qt_config_dialogs.h"
#include "gui/config/qt_param_dialogs.h"
#include "gui/monitor/command_menu_view.h"
#include "gui/monitor/qt_monitor_dialogs.h"

namespace kvarta::gui {
namespace {

constexpr int kPanel0Width = 200;
constexpr int kPanel1Width = 90;
// Panel 2 takes the rest of the bar but the last 55 pixels, panel 3's.
constexpr int kPanel3Width = 55;

// Entries whose windows belong to later work stay disabled until they exist.
bool EntryAvailable(const std::string& name) {
  static const char* const kLive[] = {"Nexit", "N8",     "NProgr_Wr", "N7",      "Nconnect",
                                      "NUser", "Nabout", "Nrdcnf",    "NCmpCnf", "Nident",
                                      "N13",   "N33",    "NReport",   "NFrames"};
  for (const char* n : kLive) {
    if (name == n) return true;
  }
  return IsParamMenuEntry(name);
}

QSize ScreenSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->size() : QSize(1024, 768);
}

}  // namespace

TFormMain::TFormMain(ProgramFolders folders, SerialPortFactory& ports,
                     std::unique_ptr<Dialogs> dialogs)
    : dialogs_(std::move(dialogs)), config_dialogs_(std::make_unique<QtConfigDialogs>(this)) {
  setObjectName("TFormMain");
  setWindowTitle("Программа обслуживания контроллеров kvarta");
  timers_[MainTimer::kStart] = std::make_unique<QtTimer>(this, kStartTimerMs, "TimerStart");
  timers_[MainTimer::kMessage] = std::make_unique<QtTimer>(this, kMessageTimerMs, "TimerMessage");
  timers_[MainTimer::kMoney] = std::make_unique<QtTimer>(this, kMoneyTimerMs, "TimerMoney");
  timers_[MainTimer::kControl] = std::make_unique<QtTimer>(this, kControlTimerMs, "TimerControl");
  timers_[MainTimer::kRerun] = std::make_unique<QtTimer>(this, kRerunTimerFirstMs, "TimerRerun");
  BuildPanels();
  BuildMenus();
  param_dialogs_ = std::make_unique<QtParamDialogs>(this);

  connect(timers_[MainTimer::kStart]->Get(), &QTimer::timeout, this,
          [this] { Guarded([this] { session_->StartUp(); }); });
  connect(timers_[MainTimer::kMessage]->Get(), &QTimer::timeout, this,
          [this] { session_->ClearStatusMessage(); });
  connect(timers_[MainTimer::kMoney]->Get(), &QTimer::timeout, this,
          [this] { session_->CountCallSecond(); });
  // The line-watch and keep-alive timers may fire while an exchange pumps
  // events: they must not talk to the line then.
  connect(timers_[MainTimer::kControl]->Get(), &QTimer::timeout, this,
          [this] { Guarded([this] { session_->WatchLine(); }); });
  connect(timers_[MainTimer::kRerun]->Get(), &QTimer::timeout, this,
          [this] { Guarded([this] { session_->KeepCallAlive(); }); });

  const QSize screen = ScreenSize();
  session_ = std::make_unique<MainSession>(host_, RealClock(), *this, std::move(folders),
                                           screen.width(), screen.height(), ports);
  config_actions_ = std::make_unique<ConfigActions>(*session_, host_, RealClock(), *bar1_,
                                                    *config_dialogs_, *config_dialogs_);
  session_->RefreshOverview();
}

TFormMain::~TFormMain() {
  if (!closed_) {
    closed_ = true;
    session_->Close();
  }
}

template <typename F>
void TFormMain::Guarded(F&& f) {
  if (host_.Busy()) return;
  QtHost::Operation operation(host_);
  f();
}

void TFormMain::WhenIdle(std::function<void()> f) {
  if (!host_.Busy()) {
    QtHost::Operation operation(host_);
    f();
    return;
  }
  // The running exchange ends through the abort flag; the line is closed only
  // after it has let go of it.
  session_->link().abort_flag = true;
  QTimer::singleShot(20, this, [this, f] { WhenIdle(f); });
}

void TFormMain::BuildPanels() {
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  // The client area: the controller at a glance, or how to reach one.
  overview_ = new OverviewPanel;
  overview_->on_connect = [this] { OnMenu("Nconnect"); };
  overview_->on_table_state = [this] { OnMenu("N13"); };
  auto* scroll = new QScrollArea(central);
  scroll->setObjectName("OverviewArea");
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidget(overview_);
  column->addWidget(scroll, 1);

  pn_repeat_ = new QFrame(central);
  pn_repeat_->setObjectName("pn_repeat");
  pn_repeat_->setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto* repeat_row = new QHBoxLayout(pn_repeat_);
  label2_ = new QLabel(pn_repeat_);
  label2_->setObjectName("Label2");
  bt_repeat_ = new QPushButton("Повторить последнюю команду", pn_repeat_);
  bt_repeat_->setObjectName("bt_repeat");
  bt_stored_ = new QPushButton("История команд", pn_repeat_);
  bt_stored_->setObjectName("bt_stored");
  repeat_row->addWidget(label2_, 1);
  repeat_row->addWidget(bt_repeat_);
  repeat_row->addWidget(bt_stored_);
  column->addWidget(pn_repeat_);
  monitor_dialogs_ = std::make_unique<QtMonitorDialogs>(host_, this);
  connect(bt_repeat_, &QPushButton::clicked, this,
          [this] { Guarded([this] { session_->monitor().OnRepeat(); }); });
  connect(bt_stored_, &QPushButton::clicked, this, [this] {
    // The history window opens over the panel.
    const QPoint corner = pn_repeat_->mapToGlobal(QPoint(0, 0));
    Guarded([this, corner] { session_->monitor().OnStored(corner.x(), corner.y()); });
  });

  pnmodem_ = new QFrame(central);
  pnmodem_->setObjectName("pnmodem");
  pnmodem_->setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto* modem_row = new QHBoxLayout(pnmodem_);
  modem_row->addWidget(new QLabel("Продолжительность связи по телефону", pnmodem_));
  pntime_ = new QLabel("00:00:00", pnmodem_);
  pntime_->setObjectName("pntime");
  modem_row->addWidget(pntime_);
  modem_row->addStretch(1);
  bitbtn3_ = new QPushButton("Отключить связь", pnmodem_);
  bitbtn3_->setObjectName("BitBtn3");
  modem_row->addWidget(bitbtn3_);
  column->addWidget(pnmodem_);
  // "Отключить связь" may be pressed while an exchange runs: it reaches the
  // exchange through the abort flag first.
  connect(bitbtn3_, &QPushButton::clicked, this,
          [this] { WhenIdle([this] { session_->EndConnection(); }); });

  status3_ = new QStatusBar(central);
  status3_->setObjectName("StatusBar3");
  status3_->setSizeGripEnabled(false);
  status2_ = new QStatusBar(central);
  status2_->setObjectName("StatusBar2");
  status2_->setSizeGripEnabled(false);
  status1_ = new QStatusBar(central);
  status1_->setObjectName("StatusBar1");
  column->addWidget(status3_);
  column->addWidget(status2_);
  column->addWidget(status1_);
  bar1_ = std::make_unique<QtStatusBar>(
      status1_, std::vector<int>{kPanel0Width, kPanel1Width, 0, kPanel3Width});
  bar2_ = std::make_unique<QtStatusBar>(status2_, std::vector<int>{0});
  bar3_ = std::make_unique<QtStatusBar>(status3_, std::vector<int>{0});
  setCentralWidget(central);
}

void TFormMain::BuildMenus() {
  for (const MenuItemSpec& item : MainMenuTree()) {
    const QString caption = QString::fromStdString(item.caption);
    const bool has_children = [&] {
      for (const MenuItemSpec& other : MainMenuTree()) {
        if (other.parent == item.name) return true;
      }
      return false;
    }();
    QAction* action = nullptr;
    if (has_children) {
      QMenu* menu = item.parent.empty() ? menuBar()->addMenu(caption)
                                        : menus_.at(item.parent)->addMenu(caption);
      menu->setObjectName(QString::fromStdString(item.name));
      menus_[item.name] = menu;
      action = menu->menuAction();
    } else if (item.parent.empty()) {
      action = menuBar()->addAction(caption);
    } else {
      action = menus_.at(item.parent)->addAction(caption);
    }
    action->setObjectName(QString::fromStdString(item.name));
    action->setData(item.tag);
    actions_[item.name] = action;
    if (!has_children) {
      action->setEnabled(EntryAvailable(item.name) || MonitorActions::Handles(item.name));
      const std::string name = item.name;
      connect(action, &QAction::triggered, this, [this, name] {
        OnMenu(name);
        // Whatever the entry read (the identification, a whole
        // configuration) shows in the overview.
        if (!closed_) session_->RefreshOverview();
      });
    }
  }
}

void TFormMain::OnMenu(const std::string& name) {
  if (IsParamMenuEntry(name)) {
    Guarded([this, name] {
      RunParamMenuEntry(*session_, name, bar1_.get(), *param_dialogs_, *config_dialogs_);
    });
    return;
  }
  if (MonitorActions::Handles(name)) {
    Guarded([this, &name] { session_->monitor().RunMenuEntry(name); });
    return;
  }
  if (name == "Nexit") {
    close();
  } else if (name == "Nabout") {
    TFormAbout about(this);
    about.exec();
  } else if (name == "Nconnect") {
    Guarded([this] { session_->ConnectToAnother(); });
  } else if (name == "NUser") {
    Guarded([this] { session_->LogOnAgain(); });
  } else if (name == "NProgr_Wr") {
    Guarded([this] { session_->RunFirmwareLoader(); });
  } else if (name == "N8") {
    Guarded([this] { session_->RunSessionReader(); });
  } else if (name == "N7") {
    Guarded([this] { session_->RunServiceLibrary(); });
  } else if (name == "Nrdcnf") {
    Guarded([this] { config_actions_->SaveConfiguration(); });
  } else if (name == "NCmpCnf") {
    Guarded([this] { config_actions_->CompareWithFile(); });
  } else if (name == "Nident") {
    Guarded([this] { config_actions_->ShowIdentification(); });
  } else if (name == "N13") {
    Guarded([this] { config_actions_->ShowTableState(); });
  } else if (name == "N33") {
    Guarded([this] { config_actions_->ChangeUsersAccess(); });
  } else if (name == "NFrames") {
    ShowFrameMonitor();
  } else if (name == "NReport") {
    Guarded([this] {
      MakeServiceReport(config_actions_->Context(), OverviewConnectionLines(session_->Overview()));
    });
  }
}

void TFormMain::ShowFrameMonitor() {
  if (!frame_monitor_) {
    frame_monitor_ = std::make_unique<TFormFrameMonitor>(
        session_->link().frame_log,
        [this](const FrameMonitorModel& model) {
          model.SaveAs(host_, *config_dialogs_, config_actions_->Context().config_folder,
                       RealClock().LocalNow());
        },
        this);
  }
  frame_monitor_->show();
  frame_monitor_->raise();
  frame_monitor_->activateWindow();
}

QAction* TFormMain::MenuAction(const std::string& name) const {
  const auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

void TFormMain::SetModemBarsVisible(bool visible) {
  status2_->setVisible(visible);
  status3_->setVisible(visible);
}

void TFormMain::SetModemPanelVisible(bool visible) {
  pnmodem_->setVisible(visible);
}

bool TFormMain::ModemPanelVisible() const {
  return pnmodem_->isVisibleTo(this);
}

void TFormMain::SetCallDuration(const std::string& text) {
  pntime_->setText(QString::fromStdString(text));
}

void TFormMain::HideTopMenus() {
  for (const MenuItemSpec& item : MainMenuTree()) {
    if (item.parent.empty()) actions_.at(item.name)->setVisible(false);
  }
}

void TFormMain::ApplyMenuState(const MainMenuState& state) {
  for (const auto& [name, visible] : state.visible) {
    if (QAction* a = MenuAction(name)) a->setVisible(visible);
  }
  pn_repeat_->setVisible(state.repeat_panel_visible);
  bt_repeat_->setEnabled(state.repeat_buttons_enabled);
  bt_stored_->setEnabled(state.repeat_buttons_enabled);
  if (state.set_label) label2_->setText(QString::fromStdString(state.label).replace("\r\n", "\n"));
  if (state.rebuild_command_menus) RebuildCommandMenus();
  // The column layout keeps pn_repeat right above pnmodem, and above the
  // status bars while pnmodem is hidden, as state.repeat_panel_above_modem says.
}

void TFormMain::ResetRepeatPanel() {
  bt_repeat_->setEnabled(false);
  bt_stored_->setEnabled(false);
  label2_->clear();
  pn_repeat_->setVisible(false);
}

void TFormMain::CloseMonitoringWindows() {
  monitor_dialogs_->CloseMonitoringWindows();
}

void TFormMain::RebuildCommandMenus() {
  if (!session_) return;
  ApplyCommandMenus(actions_, session_->monitor().CommandMenus(), [this](uint32_t tag) {
    Guarded([this, tag] { session_->monitor().RunCommandTag(tag); });
  });
}

MonitorDialogs* TFormMain::MonitorWindows() {
  return monitor_dialogs_.get();
}

void TFormMain::RepeatPanelChanged() {
  if (!session_) return;
  const CommandPanel& panel = session_->monitor().panel();
  bt_repeat_->setEnabled(panel.buttons_enabled);
  bt_stored_->setEnabled(panel.buttons_enabled);
  label2_->setText(QString::fromStdString(panel.label).replace("\r\n", "\n"));
  // A command's progress shows while the exchange lets the window paint.
  pn_repeat_->repaint();
}

void TFormMain::ShowOverview(const OverviewModel& model) {
  overview_->Show(model);
}

void TFormMain::RepaintWindow() {
  repaint();
}

void TFormMain::Geometry(int& width, int& height, int& left, int& top) const {
  width = this->width();
  height = this->height();
  left = x();
  top = y();
}

HostTimer& TFormMain::Timer(MainTimer timer) {
  return *timers_.at(timer);
}

void TFormMain::SetTimerInterval(MainTimer timer, int ms) {
  timers_.at(timer)->Get()->setInterval(ms);
}

bool TFormMain::RunConnectionDialog() {
  return dialogs_ && dialogs_->RunConnection(*this);
}

bool TFormMain::RunLogOn(LogOnModel& model) {
  return dialogs_ && dialogs_->RunLogOn(*this, model);
}

int TFormMain::RunTableState(TableWritePlan& plan) {
  return config_actions_->RunTableState(plan);
}

bool TFormMain::RestoreFromFile(TableWritePlan& plan) {
  return config_actions_->RestoreFromFile(plan);
}

void TFormMain::ApplySavedGeometry() {
  const CurrentParams& c = session_->store().settings.curr;
  resize(c.form_width, c.form_height);
  move(c.form_left, c.form_top);
}

void TFormMain::closeEvent(QCloseEvent* event) {
  if (host_.Busy()) {
    // An exchange is running: ask it to stop; the window closes afterwards.
    event->ignore();
    WhenIdle([this] { QTimer::singleShot(0, this, [this] { close(); }); });
    return;
  }
  if (!closed_) {
    closed_ = true;
    session_->Close();
  }
  if (frame_monitor_) frame_monitor_->close();
  event->accept();
}

}  // namespace kvarta::gui
