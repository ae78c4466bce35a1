// The main window's session logic without the window: creation, the start-up
// sequence that connects and identifies a controller, the status texts, the
// five timers, Disconnect, the menu state and closing. The desktop window
// (and the tests) implement MainWindowView and forward their events here.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "app/main_menu.h"
#include "config/config_image.h"
#include "config/log_on_model.h"
#include "config/server_labels.h"
#include "config/short_date_time.h"
#include "connection/modem_call_recovery.h"
#include "connection/settings_store.h"
#include "link/controller_link.h"

namespace kvarta {

enum class MainTimer { kStart, kMessage, kMoney, kControl, kRerun };

inline constexpr int kStartTimerMs = 500;
inline constexpr int kMessageTimerMs = 3000;
inline constexpr int kMoneyTimerMs = 1000;
inline constexpr int kControlTimerMs = 5000;
inline constexpr int kRerunTimerFirstMs = 9000;

class MainWindowView {
 public:
  virtual ~MainWindowView() = default;
  // StatusBar1: 0 port and rate, 1 address, 2 progress, 3 exchange.
  virtual StatusBar& StatusBar1() = 0;
  virtual StatusBar& StatusBar2() = 0;  // subscriber of a phone connection
  virtual StatusBar& StatusBar3() = 0;  // dial progress
  virtual void SetModemBarsVisible(bool visible) = 0;
  virtual void SetModemPanelVisible(bool visible) = 0;  // pnmodem
  virtual bool ModemPanelVisible() const = 0;
  virtual void SetCallDuration(const std::string& text) = 0;  // pntime
  virtual void HideTopMenus() = 0;
  virtual void ApplyMenuState(const MainMenuState& state) = 0;
  // bt_repeat and bt_stored disabled, Label2 cleared, pn_repeat hidden.
  virtual void ResetRepeatPanel() = 0;
  virtual void RepaintWindow() {}
  virtual void Geometry(int& width, int& height, int& left, int& top) const = 0;
  virtual HostTimer& Timer(MainTimer timer) = 0;
  virtual void SetTimerInterval(MainTimer timer, int ms) = 0;
  // The connection dialog, modal; true when "Связаться" connected.
  virtual bool RunConnectionDialog() = 0;
  // The log-on window, modal, on a shown model.
  virtual bool RunLogOn(LogOnModel& model) = 0;
  // The table-state window on a plan: 0 leave, 1 selected, 2 all.
  virtual int RunTableState(TableWritePlan& /*plan*/) { return 0; }
  // Restore from a configuration file; true when table 22 was written.
  virtual bool RestoreFromFile(TableWritePlan& /*plan*/) { return false; }
  // Closes the monitoring windows that are open.
  virtual void CloseMonitoringWindows() {}
};

class MainSession {
 public:
  // FormCreate: the link, the folders, the settings and the phone book.
  MainSession(Host& host, Clock& clock, MainWindowView& view, ProgramFolders folders,
              int screen_width, int screen_height);
  ~MainSession();

  // TimerStartTimer: the start-up sequence.
  void TimerStartTimer();
  void Disconnect();
  void ShowConnectionStatus();
  bool ReadStartTables();
  void RefreshMainMenu();

  void TimerMessageTimer();
  void TimerMoneyTimer();
  void TimerControlTimer();
  void TimerRerunTimer();

  // "Связь с другим устройством": false when the user kept the running call.
  bool NconnectClick();
  // "Отключить связь".
  void BitBtn3Click();
  // "Идентификация пользователя программы".
  void NUserClick();
  // Sibling tools. Messages name the actual files.
  void NProgr_WrClick();
  void N8Click();
  void N7Click();
  // FormClose: disconnect and save the settings.
  void FormClose();

  // Saves geometry, phone book and settings (the start-up's step 3).
  void SaveSettings();
  // What a dial needs now (selected subscriber, Command, attempts, wait).
  DialParams CurrentDialParams() const;

  Host& host;
  Clock& clock;
  MainWindowView& view;
  ControllerLink link;
  ConfigImage image;
  SettingsStore store;

  bool connection_established = false;
  bool modem_connected = false;
  bool closing = false;
  bool write_access = false;                   // WriteAccessGranted
  uint8_t server_count = 1;                    // ServerCount
  std::array<uint8_t, 104> vrg_params_copy{};  // VrgParamsCopy
  ServerLabels server_labels;
  ShortDateTime call_duration;
  std::string history_label;  // Label2 text of the command history's entry
  bool history_not_empty = false;
  int rerun_interval_ms = kRerunTimerFirstMs;

 private:
  void FailureEnd();
  bool CheckIdentification();
  void HandleDestroyedTables(bool& tables_destroyed, bool& table22_pending);
  bool ConnectByKind();
  void CloseSerialPort();
  void HangUpIfCalling(bool escape_first);

  std::unique_ptr<ModemCallRecovery> recovery_;
};

}  // namespace kvarta
