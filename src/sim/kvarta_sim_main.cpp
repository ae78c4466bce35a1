// kvarta-sim: a simulated controller on a pseudo-terminal or a serial device.
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "sim/sim_command_line.h"
#include "sim/simulator.h"

int main(int argc, char** argv) {
  using namespace kvarta::sim;
  SimCommandLine cl;
  std::string error;
  if (!ParseSimCommandLine(std::vector<std::string>(argv + 1, argv + argc), cl, error)) {
    std::fprintf(stderr, "kvarta-sim: %s\n%s", error.c_str(), SimUsage().c_str());
    return 2;
  }
  if (cl.help) {
    std::fputs(SimUsage().c_str(), stdout);
    return 0;
  }

  // Block the stop signals before the serving thread starts, so that only
  // sigwait below receives them.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  Simulator simulator(cl.options);
  if (!cl.options.state_file.empty() && !simulator.StateLoaded() &&
      access(cl.options.state_file.c_str(), F_OK) == 0) {
    std::fprintf(stderr, "kvarta-sim: no usable state in %s, starting with the demo tables\n",
                 cl.options.state_file.c_str());
  }
  if (cl.device.empty()) {
    const std::string path = simulator.StartOnPty();
    if (path.empty()) {
      std::perror("kvarta-sim: cannot create a pseudo-terminal");
      return 1;
    }
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
  } else if (!simulator.StartOnDevice(cl.device)) {
    std::perror(("kvarta-sim: cannot open " + cl.device).c_str());
    return 1;
  }

  if (cl.options.expect_modem.enabled) {
    // Wake up now and then to tell when the controller got its answer.
    bool reported = false;
    const timespec slice{0, 100000000};
    while (sigtimedwait(&stop_signals, nullptr, &slice) < 0) {
      if (!reported && simulator.ModemAnswerReceived()) {
        std::printf("OK received\n");
        std::fflush(stdout);
        reported = true;
      }
    }
  } else {
    int signal_number = 0;
    sigwait(&stop_signals, &signal_number);
  }
  if (!simulator.Stop()) {
    std::fprintf(stderr, "kvarta-sim: the state could not be saved to %s\n",
                 cl.options.state_file.c_str());
    return 1;
  }
  return 0;
}
