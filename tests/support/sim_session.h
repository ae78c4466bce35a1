// A simulated session on a real line: a program folder of the test's own, a
// simulated controller served on a pseudo-terminal, and a port factory that
// leads every port the program opens to it. SimConnection adds what the
// connection dialogs work with: the link, the connector and the settings.
#pragma once

#include <functional>

#include "connection/connector.h"
#include "connection/program_folders.h"
#include "connection/settings_store.h"
#include "link/controller_link.h"
#include "platform/clock.h"
#include "sim/controller.h"
#include "sim/embedded_simulator.h"
#include "support/temp_dir.h"

namespace kvarta::test {

struct SimSession {
  // prepare runs on the controller before serving starts; `started` tells
  // whether the terminal could be made.
  explicit SimSession(const sim::SimulatorOptions& options = {},
                      const std::function<void(sim::Controller&)>& prepare = {})
      : ports(options) {
    if (prepare) ports.simulator().WithController(prepare);
    started = ports.Start();
  }
  ProgramFolders folders() const { return FoldersIn(home.path()); }

  TempDir home;
  sim::SimulatorPortFactory ports;
  bool started = false;
};

struct SimConnection : SimSession {
  explicit SimConnection(Host& host, const sim::SimulatorOptions& options = {})
      : SimSession(options), link(host, RealClock()), connector(link, ports), store(folders()) {
    store.Load(1024, 768);
  }

  ControllerLink link;
  Connector connector;
  SettingsStore store;
};

}  // namespace kvarta::test
