// The main window: menus, the three status bars, the call panel and the
// repeat panel, over the session logic of the core.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>

#include "app/config_actions.h"
#include "app/main_session.h"
#include "gui/app/qt_timer.h"
#include "gui/link/qt_host.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QFrame;

namespace kvarta::gui {

class OverviewPanel;
class TFormFrameMonitor;
class QtConfigDialogs;
class QtMonitorDialogs;
class QtParamDialogs;

class TFormMain : public QMainWindow, public MainWindowView {
  Q_OBJECT
 public:
  // The dialogs the start-up runs; the desktop program shows windows, the
  // tests may script them.
  struct Dialogs {
    virtual ~Dialogs() = default;
    virtual bool RunConnection(TFormMain& main) = 0;
    virtual bool RunLogOn(TFormMain& main, LogOnModel& model) = 0;
  };

  TFormMain(ProgramFolders folders, SerialPortFactory& ports,
            std::unique_ptr<Dialogs> dialogs = nullptr);
  ~TFormMain() override;

  MainSession& Session() { return *session_; }
  QtHost& HostObject() { return host_; }
  QtStatusBar& Bar1() { return *bar1_; }
  QAction* MenuAction(const std::string& name) const;
  QLabel* CallDurationLabel() const { return pntime_; }
  QFrame* ModemPanel() const { return pnmodem_; }
  QFrame* RepeatPanel() const { return pn_repeat_; }
  QLabel* RepeatLabel() const { return label2_; }
  OverviewPanel* Overview() const { return overview_; }
  QPushButton* RepeatButton() const { return bt_repeat_; }
  QPushButton* StoredButton() const { return bt_stored_; }
  // The commands' and monitoring windows (tests may script them).
  QtMonitorDialogs& MonitorDialogWindows() { return *monitor_dialogs_; }

  // MainWindowView.
  StatusBar& StatusBar1() override { return *bar1_; }
  StatusBar& StatusBar2() override { return *bar2_; }
  StatusBar& StatusBar3() override { return *bar3_; }
  void SetModemBarsVisible(bool visible) override;
  void SetModemPanelVisible(bool visible) override;
  bool ModemPanelVisible() const override;
  void SetCallDuration(const std::string& text) override;
  void HideTopMenus() override;
  void ApplyMenuState(const MainMenuState& state) override;
  void ResetRepeatPanel() override;
  void RepaintWindow() override;
  void Geometry(int& width, int& height, int& left, int& top) const override;
  HostTimer& Timer(MainTimer timer) override;
  void SetTimerInterval(MainTimer timer, int ms) override;
  bool RunConnectionDialog() override;
  bool RunLogOn(LogOnModel& model) override;
  void CloseMonitoringWindows() override;
  void RebuildCommandMenus() override;
  MonitorDialogs* MonitorWindows() override;
  void RepeatPanelChanged() override;
  void ShowOverview(const OverviewModel& model) override;
  int RunTableState(TableWritePlan& plan) override;
  bool RestoreFromFile(TableWritePlan& plan) override;

  // The configuration windows and file dialogs (tests may choose the files).
  QtConfigDialogs& ConfigDialogs() { return *config_dialogs_; }

  // The parameter editors' windows (tests may act on them when shown).
  QtParamDialogs& ParamDialogs() { return *param_dialogs_; }

  // "Монитор обмена" once opened, else null.
  TFormFrameMonitor* FrameMonitor() const { return frame_monitor_.get(); }

  // FormShow: geometry from the settings.
  void ApplySavedGeometry();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildPanels();
  void OnMenu(const std::string& name);
  void ShowFrameMonitor();
  // Runs f unless a controller operation is already running.
  template <typename F>
  void Guarded(F&& f);
  // Runs f now, or aborts the running exchange and runs f once it has ended.
  void WhenIdle(std::function<void()> f);

  QtHost host_;
  std::unique_ptr<Dialogs> dialogs_;
  // Outlives the session, whose closing may still close a monitoring window.
  std::unique_ptr<QtMonitorDialogs> monitor_dialogs_;
  std::map<std::string, QAction*> actions_;
  std::map<std::string, QMenu*> menus_;
  QStatusBar* status1_ = nullptr;
  QStatusBar* status2_ = nullptr;
  QStatusBar* status3_ = nullptr;
  std::unique_ptr<QtStatusBar> bar1_, bar2_, bar3_;
  OverviewPanel* overview_ = nullptr;
  QFrame* pnmodem_ = nullptr;
  QLabel* pntime_ = nullptr;
  QPushButton* bitbtn3_ = nullptr;
  QFrame* pn_repeat_ = nullptr;
  QLabel* label2_ = nullptr;
  QPushButton* bt_repeat_ = nullptr;
  QPushButton* bt_stored_ = nullptr;
  std::map<MainTimer, std::unique_ptr<QtTimer>> timers_;
  std::unique_ptr<QtConfigDialogs> config_dialogs_;
  std::unique_ptr<QtParamDialogs> param_dialogs_;
  std::unique_ptr<MainSession> session_;
  std::unique_ptr<ConfigActions> config_actions_;
  // Follows the session's frame log, so it goes before the session.
  std::unique_ptr<TFormFrameMonitor> frame_monitor_;
  bool closed_ = false;
};

}  // namespace kvarta::gui
