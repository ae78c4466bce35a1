// Result codes of an exchange, their texts, the controller's error answers and
// the one-line message for the last exchange.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kvarta {

struct ControllerLink;

enum ResultCodes : uint32_t {
  kResultOk = 0,
  kResultUnknownFunction = 2,
  kResultWriteFailed = 3,
  kResultReadFailed = 4,  // the line went away during the answer
  kResultIncomplete = 5,
  kResultBadCrc = 7,
  kResultErrorAnswer = 8,
  kResultNoAnswer = 10,
  kResultValveError = 12,  // error code 24 with a reason
  kResultAborted = 19,
  kResultCarrierLost = 20,
};

inline constexpr int kResultMessageCount = 138;
inline constexpr int kErrorCodeBase = 21;   // entry = 21 + error code (1..64)
inline constexpr int kReasonCodeBase = 86;  // entry = 86 + reason code (0..51)

// The 138 texts indexed by result code / error entry / reason entry. Entries 8
// and 13 change when an error answer is interpreted.
using ResultMessageTable = std::array<std::string, kResultMessageCount>;

// The table as filled when the link is created.
ResultMessageTable MakeResultMessageTable();

// Interprets an error answer (answer bytes 4.. = error code, reason code,
// table number): sets the link's result code to 8 or 12 and fills entry 8 or 13.
void InterpretErrorAnswer(ControllerLink& link, const uint8_t* error_bytes);

// "Команда %d.  %s" (or "Команда %d.  %s %d" for error code 60) for the last
// exchange; also kept as the link's result text.
std::string FormatResultMessage(ControllerLink& link);

}  // namespace kvarta
