// The main window's session without the window: it holds the program-wide
// objects, wires them to the window and coordinates the start-up, the call
// supervision and the sibling tools. The desktop window (and the tests)
// implement MainWindowView and forward their events here.
#pragma once

#include <string>

#include "app/call_supervision.h"
#include "app/monitor_actions.h"
#include "app/overview_model.h"
#include "app/session_effects.h"
#include "app/session_parts.h"
#include "app/sibling_tools.h"
#include "app/start_up.h"

namespace kvarta {

class MainSession : public SessionControl {
 public:
  // Creation of the main window: the link, the folders, the settings and
  // the phone book; the start timer runs. Ports come from ports.
  MainSession(Host& host, Clock& clock, MainWindowView& view, ProgramFolders folders,
              int screen_width, int screen_height, SerialPortFactory& ports);
  ~MainSession() override;

  // The start timer: connect and identify.
  void StartUp() { start_up_.Run(); }
  // Ends the connection: exchange aborted, timers stopped, call hung up,
  // port closed, monitoring windows closed, credentials cleared, menus reduced.
  void Disconnect() override;
  // Port, rate, address and subscriber in the status bars.
  void ShowConnectionStatus() override;
  void RefreshMainMenu() override;
  // The client area's overview from what the session knows now.
  void RefreshOverview() override;
  OverviewModel Overview() const;
  // Saves geometry, phone book and settings.
  void SaveSettings() override;
  bool ReadStartTables() { return start_up_.ReadStartTables(); }

  // Timers: the status message expires; the call's second, line watch and
  // keep-alive.
  void ClearStatusMessage();
  void CountCallSecond() { calls_.CountSecond(); }
  void WatchLine() { calls_.WatchLine(); }
  void KeepCallAlive() { calls_.KeepAlive(); }

  // Starts over with another controller; false when the user keeps the
  // running call.
  bool ConnectToAnother();
  // Ends the connection at the user's request.
  void EndConnection();
  // Logs on again and tests the write access.
  void LogOnAgain();
  void RunFirmwareLoader() { tools_.RunFirmwareLoader(); }
  void RunSessionReader() { tools_.RunSessionReader(); }
  void RunServiceLibrary() { tools_.RunServiceLibrary(); }
  // Closing the window: disconnect and save the settings.
  void Close();

  ControllerLink& link() { return parts_.link; }
  ConfigImage& image() { return parts_.image; }
  SettingsStore& store() { return parts_.store; }
  Connector& connector() { return parts_.connector; }
  const ControllerFacts& facts() const { return parts_.facts; }
  bool modem_connected() const { return parts_.connector.modem_connected(); }
  const CallSupervision& calls() const { return calls_; }
  // What the configuration flows and editors refresh when they change tables.
  ConfigurationSession& effects() { return effects_; }
  // The commands, their history and the monitoring windows.
  MonitorActions& monitor() { return monitor_; }

 private:
  SessionParts parts_;
  CallSupervision calls_;
  StartUpSequence start_up_;
  SiblingTools tools_;
  SessionEffects effects_;
  MonitorActions monitor_;
  bool closing_ = false;
};

}  // namespace kvarta
