#include "connection/modem_dialup.h"

#include <array>

#include "link/message_window.h"
#include "platform/cp1251.h"
#include "platform/text_format.h"

namespace kvarta {

namespace {

constexpr int64_t kModemInitTimeoutMs = 5000;
constexpr int64_t kGuardTimeMs = 1200;  // silence around "+++" while initialising
constexpr int64_t kHangUpTimeoutMs = 2000;
constexpr int64_t kHangUpGuardMs = 1000;
constexpr int64_t kGsmLineTimeoutMs = 5000;
constexpr int64_t kBeforeDialPauseMs = 2000;
constexpr int64_t kAfterCommandPauseMs = 200;
constexpr int64_t kBeforeCommandPauseMs = 2;
constexpr int kModemInitTries = 2;

bool IsLineEnd(uint8_t b) {
  return b == '\r' || b == '\n';
}

std::string WithoutLineEnds(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c != '\r' && c != '\n') out.push_back(c);
  }
  return out;
}

// What the modem sent, for a status panel.
std::string AnswerForDisplay(std::string_view raw) {
  return Cp1251ToUtf8(WithoutLineEnds(raw));
}

// Reads one answer line into held: bytes before the first CR or LF (the echo)
// are dropped; the line ends at a CR or LF once more than three bytes are held,
// or at 255 bytes. Returns kModemOk, kModemNoReply or kModemCancelled.
int ReadAnswerLine(LineContext& line, int64_t deadline_ns, bool check_escape, std::string& held) {
  LineReader reader(line);
  held.clear();
  bool started = false;
  for (;;) {
    line.host.PumpMessages();
    if (check_escape && line.host.TakeEscape()) return kModemCancelled;
    const std::optional<uint8_t> byte = reader.TakeByte();
    if (byte) {
      if (!started) {
        if (IsLineEnd(*byte)) {
          held.push_back(static_cast<char>(*byte));
          started = true;
        }
      } else {
        held.push_back(static_cast<char>(*byte));
        if ((held.size() > 3 && IsLineEnd(*byte)) || held.size() >= kModemAnswerMax) {
          return kModemOk;
        }
      }
    }
    if (line.clock.NowNs() >= deadline_ns) return kModemNoReply;
    if (!byte) reader.Wait(deadline_ns);
  }
}

// The answer ends at its first zero byte, as the modem's text does.
std::string UpToZero(const std::string& held) {
  return held.substr(0, held.find('\0'));
}

int Classify(std::string_view answer) {
  struct Word {
    const char* upper;
    const char* lower;
    int result;
  };
  static constexpr std::array<Word, 7> kWords = {{
      {"ERRO", "erro", kModemError},
      {"Time", "Time", kModemTimeLimit},
      {"DIAL", "dial", kModemNoDialTone},
      {"NO CARRI", "no carri", kModemNoCarrier},
      {"BUSY", "busy", kModemBusy},
      {"ANSW", "answ", kModemNoAnswer},
      {kModemEscapeAnswer, kModemEscapeAnswer, kModemCancelled},
  }};
  for (const Word& w : kWords) {
    if (ContainsText(answer, w.upper) || ContainsText(answer, w.lower)) return w.result;
  }
  return kModemOk;
}

bool HasOk(std::string_view answer) {
  return ContainsText(answer, "OK") || ContainsText(answer, "ok");
}

}  // namespace

std::string ModemResultText(int result) {
  static constexpr std::array<const char*, kModemResultCount> kTexts = {
      "Соединение установлено",
      "Отсутствует сигнал АТС",
      "Номер абонента занят",
      "Потеря несущей",
      "Нет гудка в линии",
      "Абонент не отвечает",
      "Лимит времени, отведенного на соединение, исчерпан",
      "Модем отсутствует или не подключен",
      "Соединение не установлено",
      "Истекло время ожидания ответа от модема",
      "Попытка соединения прервана по требованию пользователя",
      "Нет готовности GSM",
  };
  if (result < 0 || result >= kModemResultCount) return {};
  return kTexts[static_cast<size_t>(result)];
}

bool ContainsText(std::string_view text, std::string_view fragment) {
  if (text.empty() || text.size() < fragment.size()) return false;
  return text.find(fragment) != std::string_view::npos;
}

bool AnswerIsPositive(std::string_view answer) {
  for (const char* word : {"AT", "at", "OK", "ok", "\r\n", "0"}) {
    if (ContainsText(answer, word)) return true;
  }
  return false;
}

bool CarrierPresent(std::string_view received) {
  return !(ContainsText(received, "NO CARRI") || ContainsText(received, "no carri"));
}

int ModemCommand(LineContext& line, std::string_view command, std::string* answer,
                 int64_t timeout_ms, StatusPanelRef status) {
  const std::string shown = WithoutLineEnds(command);
  if (status) {
    status.SetText(Format(" Установление связи по телефону. Команда %s.", shown.c_str()));
    status.Repaint();
    line.host.PumpMessages();
  }
  line.port.Purge();
  line.host.PumpMessages();
  if (answer) answer->clear();

  line.clock.SleepNs(MsToNs(kBeforeCommandPauseMs));
  std::string wire = Utf8ToCp1251(command);
  wire.push_back('\r');
  if (!line.port.Write(reinterpret_cast<const uint8_t*>(wire.data()), wire.size())) {
    // Nothing reached the modem: the answer deadline reports it.
    line.port.ClearErrors();
  }
  if (line.log) line.log->AddCommand(FrameKind::kModem, TraceDirection::kSent, wire);

  const int64_t deadline = line.clock.NowNs() + MsToNs(timeout_ms);
  std::string held;
  const int read = ReadAnswerLine(line, deadline, true, held);
  if (read == kModemCancelled) {
    if (answer) *answer = kModemEscapeAnswer;
    return kModemCancelled;
  }
  const std::string text = UpToZero(held);
  if (answer) *answer = text;
  if (line.log && !text.empty()) {
    line.log->AddCommand(FrameKind::kModem, TraceDirection::kReceived, text);
  }
  if (read == kModemNoReply) return kModemNoReply;

  if (status) {
    status.SetText(Format(" Установление связи по телефону. Команда %s.  Ответ %s", shown.c_str(),
                          AnswerForDisplay(text).c_str()));
    status.Repaint();
  }
  return Classify(text);
}

int ModemInit(LineContext& line, StatusPanelRef status) {
  int tries = kModemInitTries;
  bool escaped = false;
  std::string answer;

  enum class Step { kEscape, kEchoOff, kVerbal };
  Step step;
  int r = ModemCommand(line, "ATE0\r", &answer, kModemInitTimeoutMs, status);
  if (r != kModemOk && r != kModemNoReply) return r;
  step = (r == kModemOk && AnswerIsPositive(answer)) ? Step::kVerbal : Step::kEscape;

  for (;;) {
    switch (step) {
      case Step::kEscape:
        PauseMs(line, kGuardTimeMs);
        escaped = false;
        r = ModemCommand(line, "+++", &answer, kModemInitTimeoutMs);
        if (r == kModemNoReply) return kModemAbsent;
        if (r != kModemOk) return r;
        if (AnswerIsPositive(answer)) escaped = true;
        step = Step::kEchoOff;
        break;
      case Step::kEchoOff:
        PauseMs(line, kGuardTimeMs);
        r = ModemCommand(line, "ATE0\r", &answer, kModemInitTimeoutMs);
        if (r != kModemOk) return r;
        if (AnswerIsPositive(answer)) return kModemOk;
        step = Step::kVerbal;
        break;
      case Step::kVerbal:
        r = ModemCommand(line, "ATV1\r", &answer, kModemInitTimeoutMs, status);
        if (r != kModemOk) return r;
        if (AnswerIsPositive(answer)) return kModemOk;
        // A modem that never says anything positive is still dialled: the
        // dial itself tells whether it works.
        if (--tries == 0) return kModemOk;
        step = escaped ? Step::kEchoOff : Step::kEscape;
        break;
    }
  }
}

bool GsmReady(LineContext& line, StatusPanelRef status) {
  line.port.Purge();
  if (status) {
    status.SetText(" Проверка готовности GSM. Команда AT+CPAS");
    status.Repaint();
  }
  static constexpr uint8_t kQuery[9] = {'A', 'T', '+', 'C', 'P', 'A', 'S', '\r', 0};
  if (!line.port.Write(kQuery, sizeof kQuery)) line.port.ClearErrors();
  if (line.log) {
    line.log->AddCommand(
        FrameKind::kModem, TraceDirection::kSent,
        std::string_view(reinterpret_cast<const char*>(kQuery), sizeof kQuery - 1));
  }

  for (const char* expected : {"+CPAS: 0", "OK"}) {
    std::string held;
    const int64_t deadline = line.clock.NowNs() + MsToNs(kGsmLineTimeoutMs);
    if (ReadAnswerLine(line, deadline, false, held) != kModemOk) return false;
    const std::string text = UpToZero(held);
    if (line.log) line.log->AddCommand(FrameKind::kModem, TraceDirection::kReceived, text);
    if (status) {
      status.SetText(Format(" Проверка готовности GSM. Команда AT+CPAS. Ответ %s",
                            AnswerForDisplay(text).c_str()));
      status.Repaint();
    }
    if (!ContainsText(text, expected)) return false;
  }
  return true;
}

std::vector<std::string> ParseModemCommands(std::string_view commands) {
  std::vector<std::string> out;
  auto is = [](char c, char letter) { return c == letter || c == letter - 'A' + 'a'; };
  size_t i = 0;
  while (i + 1 < commands.size() && out.size() < kModemCommandsMax) {
    if (!(is(commands[i], 'A') && is(commands[i + 1], 'T'))) {
      ++i;
      continue;
    }
    size_t end = commands.find('^', i);
    if (end == std::string_view::npos) end = commands.size();
    std::string command(commands.substr(i, std::min(end - i, kModemCommandBytesMax - 1)));
    command.push_back('\r');
    out.push_back(std::move(command));
    i = end;
  }
  return out;
}

std::string DialCommand(std::string_view phone_number) {
  std::string out = "ATD";
  for (char c : phone_number) {
    if (c != ' ' && c != '-' && c != '(' && c != ')') out.push_back(c);
  }
  out.push_back('\r');
  return out;
}

int ModemDial(LineContext& line, const DialParams& params, StatusPanelRef status) {
  int r = ModemInit(line, status);
  if (r != kModemOk) return r;

  const std::vector<std::string> commands = ParseModemCommands(params.commands);
  const std::string dial = DialCommand(params.phone_number);
  const int64_t timeout_ms = static_cast<int64_t>(params.connect_wait_s) * 1000;
  PauseMs(line, kBeforeDialPauseMs);

  int64_t attempts_left = params.attempts;
  std::string answer;
  for (;;) {
    int failure = kModemOk;
    for (const std::string& command : commands) {
      line.host.PumpMessages();
      r = ModemCommand(line, command, &answer, timeout_ms, status);
      if (r != kModemOk) {
        failure = r;
        break;
      }
      if (!HasOk(answer)) {
        failure = kModemNotConnected;
        break;
      }
      PauseMs(line, kAfterCommandPauseMs);
    }
    // Esc means the user wants no more attempts.
    if (failure == kModemCancelled) return failure;
    if (failure != kModemOk) {
      if (--attempts_left < 1) return failure;
      continue;
    }

    if (!GsmReady(line, status)) return kModemGsmNotReady;

    line.host.PumpMessages();
    r = ModemCommand(line, dial, &answer, timeout_ms, status);
    if (r == kModemOk) {
      if (ContainsText(answer, "ONNE") || ContainsText(answer, "onne")) {
        PauseMs(line, kAfterCommandPauseMs);
        return kModemOk;
      }
      r = kModemNotConnected;
    }
    if (r == kModemCancelled) return r;
    if (--attempts_left < 1) return r;
  }
}

void ModemHangUp(LineContext& line, bool skip_first_hang_up) {
  std::string answer;
  if (!skip_first_hang_up) {
    const int r = ModemCommand(line, "ath\r", &answer, kHangUpTimeoutMs);
    // A failure word in command mode (NO CARRIER and the like): the call is over.
    if (r != kModemOk && AnswerIsPositive(answer)) return;
  }
  PauseMs(line, kHangUpGuardMs);
  line.host.PumpMessages();
  ModemCommand(line, "+++", &answer, kHangUpTimeoutMs);
  line.host.PumpMessages();
  ModemCommand(line, "ath\r", &answer, kHangUpTimeoutMs);
}

bool ConnectByPhone(LineContext& line, const DialParams& params, StatusPanelRef status,
                    bool& modem_connected) {
  bool connected = false;
  for (;;) {
    line.host.SetCursor(CursorShape::kBusy);
    const int r = ModemDial(line, params, status);
    line.host.SetCursor(CursorShape::kNormal);
    if (r == kModemOk) {
      connected = true;
      break;
    }
    if (!ShowMessageWindow(line.host, kMessageQuestion, ModemResultText(r),
                           kRetryConnectQuestion)) {
      break;
    }
  }
  if (connected) modem_connected = true;
  status.SetText("");
  status.Repaint();
  return connected;
}

}  // namespace kvarta
