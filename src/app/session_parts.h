// The program-wide objects of the main window that the parts of the session
// share: the link, the image, the settings, the connector and what is known
// about the connected controller.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "app/main_menu.h"
#include "config/log_on_model.h"
#include "config/server_labels.h"
#include "connection/connector.h"
#include "connection/settings_store.h"
#include "link/config_image.h"
#include "link/controller_link.h"

namespace kvarta {

class MonitorDialogs;
struct OverviewModel;

enum class MainTimer { kStart, kMessage, kMoney, kControl, kRerun };

inline constexpr int kStartTimerMs = 500;
inline constexpr int kMessageTimerMs = 3000;
inline constexpr int kMoneyTimerMs = 1000;
inline constexpr int kControlTimerMs = 5000;
inline constexpr int kRerunTimerFirstMs = 9000;

// The main window as the session sees it.
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
  // Rebuilds the "Команда контроллеру" menus from VrgParamsCopy and ServerCount.
  virtual void RebuildCommandMenus() {}
  // The commands' and monitoring windows; null: none of them can open.
  virtual MonitorDialogs* MonitorWindows() { return nullptr; }
  // The repeat panel's buttons or Label2 changed (during a command too).
  virtual void RepeatPanelChanged() {}
  // The client area's overview of the controller and the connection.
  virtual void ShowOverview(const OverviewModel& /*model*/) {}
};

// What the program knows of the connected controller, kept current by the
// start-up and by every operation that changes it.
struct ControllerFacts {
  bool connection_established = false;
  bool write_access = false;                   // WriteAccessGranted
  uint32_t write_access_result = 0;            // result code of the last write-access test
  uint8_t server_count = 1;                    // ServerCount
  std::array<uint8_t, 104> vrg_params_copy{};  // VrgParamsCopy
  ServerLabels server_labels;
  std::string history_label;  // Label2 text of the command history's entry
  bool history_not_empty = false;
};

struct SessionParts {
  SessionParts(Host& host_in, Clock& clock_in, MainWindowView& view_in, ProgramFolders folders,
               SerialPortFactory& ports)
      : host(host_in),
        clock(clock_in),
        view(view_in),
        link(host_in, clock_in),
        store(std::move(folders)),
        connector(link, ports) {}

  Host& host;
  Clock& clock;
  MainWindowView& view;
  ControllerLink link;
  ConfigImage image;
  SettingsStore store;
  Connector connector;
  ControllerFacts facts;

  // StatusBar1, where progress (panel 2) and exchanges (panel 3) show.
  StatusBar& status() { return view.StatusBar1(); }
};

// What the session's parts ask of the session that holds them.
class SessionControl {
 public:
  virtual ~SessionControl() = default;
  virtual void Disconnect() = 0;
  virtual void RefreshMainMenu() = 0;
  virtual void SaveSettings() = 0;
  virtual void ShowConnectionStatus() = 0;
  // What is known of the controller changed: the overview follows.
  virtual void RefreshOverview() {}
};

// Busy cursor for the length of a scope.
class BusyCursor {
 public:
  explicit BusyCursor(Host& host) : host_(host) { host_.SetCursor(CursorShape::kBusy); }
  ~BusyCursor() { host_.SetCursor(CursorShape::kNormal); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  Host& host_;
};

}  // namespace kvarta
