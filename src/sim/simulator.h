// A simulated controller served on a serial line (a pseudo-terminal it creates,
// or a given device), for demos, tests and the programs' --simulator option.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/monitor_tables.h"

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
  int after = 0;   // answers given unharmed before it starts
  int cut_after = 4;
  int delay_ms = 0;
  uint8_t error_code = 0;
  uint8_t reason_code = 0;
  uint8_t table = 0;
};

// What sits between the line and the controller.
enum class FrontKind { kNone, kModem, kAdapter };

// What a GSM modem front answers to the dial command.
enum class DialOutcome {
  kConnect,     // "CONNECT 9600", then data mode
  kBusy,        // "BUSY"
  kNoAnswer,    // "NO ANSWER"
  kNoDialTone,  // "NO DIALTONE"
  kError,       // "ERROR"
  kNoCarrier,   // "NO CARRIER"
  kAbsent,      // no modem on the line: silence to everything
};

struct ModemScript {
  DialOutcome dial = DialOutcome::kConnect;
  bool echo = true;       // echo at power-on and after ATZ
  bool gsm_ready = true;  // AT+CPAS answers "+CPAS: 0"; else ERROR
  int dial_delay_ms = 300;
  // Silence needed before and after "+++" to leave data mode.
  int guard_ms = 1000;
  // The carrier drops after this many answered requests (at the next bytes
  // from the line) or this long after CONNECT; -1 = never.
  int drop_after_requests = -1;
  int drop_after_ms = -1;
  // Power on inside a call already in data mode (a modem left connected).
  bool start_in_data_mode = false;
  uint32_t connect_rate = 9600;
};

struct AdapterScript {
  // Command (as sent, without CR, e.g. "at@l2", or a prefix like "at@l" or
  // "@@@") the adapter refuses: answered "4", or not at all when silent. A
  // refused command changes nothing; a refused "@@@" leaves working mode on.
  std::string refuse;
  bool refuse_silently = false;
  // Silence on the line needed before "@@@", so that data holding "@@@"
  // never switches the adapter.
  int escape_guard_ms = 100;
};

// The controller waits for a modem: it sends its modem initialisation command
// and serves frames only once it got the verbal OK.
struct ExpectModemScript {
  bool enabled = false;
  int first_after_ms = 200;  // first send after serving starts
  int every_ms = 0;          // repeat until answered; 0 = send once
  bool extra_byte = false;   // a doubled 'A' ahead of the command
};

struct SimulatorOptions {
  uint8_t address = 1;
  // Given on the command line: a connection does not change them (see
  // Simulator::TakeConnection).
  bool address_given = false;
  bool listen_baud_given = false;
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
  // Required modem type to report (table 0 field 17); -1 keeps the demo's mc55iT.
  int modem_code = -1;
  Fault fault;
  FrontKind front = FrontKind::kNone;
  ModemScript modem;
  AdapterScript adapter;
  ExpectModemScript expect_modem;
  // Table 17 flags instead of the demo ones (see Controller::SetDiagnosticFlags).
  std::optional<std::vector<DiagFlag>> diag;
  // Length of the session record in table 19 (0..8000); -1 keeps the demo text.
  int session_length = -1;
  // VRG clock offsets instead of the demo ones.
  std::optional<VrgClockOffsets> vrg_clocks;
};

class Controller;
class LineDevice;

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
  // Stops serving and saves the state file when one is set; false when that
  // save failed.
  bool Stop();

  // Changes the injected fault while serving.
  void SetFault(const Fault& fault);
  // A program connects at address with rate: the controller answers there,
  // unless the address or the listening rate were given as options.
  void TakeConnection(uint8_t address, uint32_t rate);
  // Runs f on the controller under the simulator's lock (for tests and demos).
  void WithController(const std::function<void(Controller&)>& f);

  // Runs f on the outermost device of the line (the front, or the controller's
  // device without one) under the simulator's lock.
  void WithFront(const std::function<void(LineDevice&)>& f);
  // True once the modem-expecting controller got the verbal OK.
  bool ModemAnswerReceived();
  // CPU time the serving thread has used so far (for measurements).
  int64_t ThreadCpuNs() const;
  // The monotonic times at which the answers to the program's requests began
  // to leave, summed over all answers so far (for measurements).
  int64_t AnswerStartsNs();

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
