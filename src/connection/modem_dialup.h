// Dial-up through a Hayes-compatible GSM modem: preparing the modem, the
// user's initialisation commands, the GSM readiness check, dialling, hanging
// up and recognising a lost carrier.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "connection/line_context.h"
#include "link/host.h"

namespace kvarta {

// Outcome of every modem operation; ModemResultText gives its text.
enum ModemResults : int {
  kModemOk = 0,          // "Соединение установлено" (or: no failure word seen)
  kModemNoDialTone = 1,  // DIAL
  kModemBusy = 2,        // BUSY
  kModemNoCarrier = 3,   // NO CARRIER
  kModemError = 4,       // ERROR
  kModemNoAnswer = 5,    // NO ANSWER
  kModemTimeLimit = 6,   // Time
  kModemAbsent = 7,      // no answer to the escape sequence
  kModemNotConnected = 8,  // an answer without the expected OK / CONNECT
  kModemNoReply = 9,       // answer deadline passed
  kModemCancelled = 10,    // Esc
  kModemGsmNotReady = 11,
};

inline constexpr int kModemResultCount = 12;
inline constexpr size_t kModemAnswerMax = 255;
inline constexpr size_t kModemCommandsMax = 30;
inline constexpr size_t kModemCommandBytesMax = 299;  // the CR included
inline constexpr char kRetryConnectQuestion[] = "Повторить попытку соединения?";
// The answer text that stands for an Esc press during a command.
inline constexpr char kModemEscapeAnswer[] = "Escape...";

// Text of a modem result; empty for codes outside the table.
std::string ModemResultText(int result);

// True if fragment occurs in text; an empty text, or one shorter than the
// fragment, never contains it. Case-sensitive.
bool ContainsText(std::string_view text, std::string_view fragment);

// True if the answer holds "AT", "at", "OK", "ok", CR LF or "0".
bool AnswerIsPositive(std::string_view answer);

// False if the received text holds the modem's NO CARRIER answer.
bool CarrierPresent(std::string_view received);

// Sends command (program text; it goes out in code page 1251) followed by CR
// and reads one answer line: the echo before the first CR or LF is dropped,
// the line ends at a CR or LF once more than three bytes are held, or at 255
// bytes. Esc ends it with kModemCancelled and the answer "Escape...";
// timeout_ms without a full line gives kModemNoReply. Otherwise the answer is
// classified by its failure words (kModemOk when none is found). The answer
// (as received, up to its first zero byte) goes to *answer when given.
int ModemCommand(LineContext& line, std::string_view command, std::string* answer,
                 int64_t timeout_ms, StatusPanelRef status = {});

// Brings the modem into command mode with echo off and verbal answers,
// leaving data mode with "+++" when it does not answer.
int ModemInit(LineContext& line, StatusPanelRef status = {});

// Asks AT+CPAS and expects "+CPAS: 0" then "OK", 5 s for each line. Esc does
// not end it.
bool GsmReady(LineContext& line, StatusPanelRef status = {});

// The user's command string split into commands: each starts at an "AT" pair
// (any letter case) and runs to the next "^" or the end; a CR is appended.
std::vector<std::string> ParseModemCommands(std::string_view commands);

// "ATD" + the number without blanks, "-", "(" and ")" + CR.
std::string DialCommand(std::string_view phone_number);

// What a dial needs from the connection settings and the phone book.
struct DialParams {
  std::string phone_number;      // of the selected subscriber
  std::string commands;          // the Command setting
  uint32_t attempts = 1;         // Conn_Repeat
  uint32_t connect_wait_s = 50;  // ConnectWaitTime
};

// Initialises the modem, then up to params.attempts times runs the user's
// commands, checks GSM readiness and dials, waiting for CONNECT.
int ModemDial(LineContext& line, const DialParams& params, StatusPanelRef status = {});

// Hangs up: "ath" first (unless skip_first_hang_up), then, unless the modem
// answered that in command mode, "+++" after a second of silence and "ath"
// again. Results are not reported.
void ModemHangUp(LineContext& line, bool skip_first_hang_up);

// Connecting by phone after the port was opened: dials with the hourglass
// shown, asks "Повторить попытку соединения?" under the failure text and dials
// again while the user answers "Да". On success sets modem_connected. The
// status panel is cleared in both cases. The caller starts the call-duration
// display when this returns true.
bool ConnectByPhone(LineContext& line, const DialParams& params, StatusPanelRef status,
                    bool& modem_connected);

}  // namespace kvarta
