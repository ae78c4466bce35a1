// A simulated controller served on a serial line (a pseudo-terminal it creates,
// or a given device), for demos, tests and the programs' --simulator option.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kvarta::sim {

// Faults the simulated controller injects into its answers.
enum class FaultKind {
  kNone,
  kSilence,         // no answer at all
  kCutShort,        // only the first cut_after bytes of the answer
  kBadCrc,          // last CRC byte inverted
  kNoiseBefore,     // noise bytes ahead of the start byte
  kWrongRangeEcho,  // the echoed table/first/count differ from the request
  kErrorAnswer,     // error answer with error_code, reason_code, table
  kDelay,           // answer after delay_ms
};

struct Fault {
  FaultKind kind = FaultKind::kNone;
  int count = -1;  // answers it applies to, then back to normal; -1 = every answer
  int cut_after = 4;
  int delay_ms = 0;
  uint8_t error_code = 0;
  uint8_t reason_code = 0;
  uint8_t table = 0;
};

// What sits between the line and the controller.
enum class FrontKind { kNone, kModem, kAdapter };

struct SimulatorOptions {
  uint8_t address = 1;
  // Rate the controller listens at; it ignores a line set to another rate
  // (0 = answers at any rate).
  uint32_t listen_baud = 0;
  // Send answer bytes paced at this line rate (0 = as fast as possible).
  uint32_t pace_baud = 0;
  // Tables kept between runs ("" = none). A state found there at start wins
  // over address; destroyed_tables are applied on top of it.
  std::string state_file;
  // Numbers of configuration tables to start destroyed (zeroed, to be
  // rewritten whole).
  std::vector<int> destroyed_tables;
  Fault fault;
  FrontKind front = FrontKind::kNone;
};

class Controller;

class Simulator {
 public:
  explicit Simulator(SimulatorOptions options = {});
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Creates a pseudo-terminal and serves it on a background thread; returns the
  // path of the terminal's device for the program to open, "" on failure.
  std::string StartOnPty();
  // Serves an existing serial device on a background thread.
  bool StartOnDevice(const std::string& path);
  // Stops serving (and saves the state file when one is set).
  void Stop();

  // Changes the injected fault while serving.
  void SetFault(const Fault& fault);
  // Runs f on the controller under the simulator's lock (for tests and demos).
  void WithController(const std::function<void(Controller&)>& f);

  const SimulatorOptions& Options() const;
  // True when the state file existed and was taken at construction.
  bool StateLoaded() const;
  // Saves the tables to the state file now; false when none is set or on failure.
  bool SaveState();
  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace kvarta::sim
