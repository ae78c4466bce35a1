#include "connection/line_adapter.h"

#include <array>
#include <cstdlib>

#include "platform/text_format.h"

namespace kvarta {

namespace {

constexpr int64_t kEscapeTimeoutMs = 200;
constexpr int64_t kSettingTimeoutMs = 2000;
constexpr int kSends = 3;
constexpr int kEscapes = 3;
constexpr char kCr = 13;

int Digit(int64_t value, int64_t place) {
  return static_cast<int>(value / place % 10);
}

// Up to three sends; with ok_only an answer "4" does not count.
bool SendUntilAnswered(LineContext& line, const std::string& command, bool ok_only) {
  for (int i = 0; i < kSends; ++i) {
    const int a = AdapterCommand(line, command, kSettingTimeoutMs);
    if (a == kAdapterAnswerOk) return true;
    if (a == kAdapterAnswerError && !ok_only) return true;
  }
  return false;
}

void ShowStep(LineContext& line, StatusPanelRef status, const char* text) {
  if (status) {
    status.SetText(text);
    status.Repaint();
  }
  line.host.PumpMessages();
}

}  // namespace

std::string AdapterResultText(int result) {
  static constexpr std::array<const char*, kAdapterResultCount> kTexts = {
      "Соединение с адаптером установлено",
      "Не удалось перевести адаптер в командный режим",
      "Не удалось установить номер линии",
      "Не удалось установить скорость обмена",
      "Не удалось установить коэффициент усиления сигнала",
      "Не удалось установить флаг использования радиосвязи",
      "Не удалось установить флаг использования лидирующей частоты",
      "Не удалось установить коррекцию разности частот кварцев",
      "Не удалось перевести адаптер в рабочий режим",
  };
  if (result < 0 || result >= kAdapterResultCount) return {};
  return kTexts[static_cast<size_t>(result)];
}

AdapterCommands FormatAdapterCommands(const AdapterSetUpParams& p) {
  AdapterCommands c;
  c.escape = "@@@";
  c.line = Format("at@l%d%c", p.line_num, kCr);
  c.rate = Format("at@s%d%c", p.baud_rate, kCr);
  c.gains = Format("at@u%d%d%d%d%d%d%c", Digit(p.k_output, 100), Digit(p.k_output, 10),
                   Digit(p.k_output, 1), Digit(p.k_input, 100), Digit(p.k_input, 10),
                   Digit(p.k_input, 1), kCr);
  c.radio = Format("at@r%d%c", p.radio_on, kCr);
  c.leading_frequency = Format("at@f%d%c", p.lider_on, kCr);
  if (p.correction_on != 0) {
    c.correction.push_back(Format("at@t%d%c", p.correction_type, kCr));
    c.correction.push_back(Format("at@d%d%c", p.correction_value < 1 ? 1 : 0, kCr));
    // 64 bits so that the magnitude of the most negative value exists.
    const int64_t magnitude = std::llabs(static_cast<int64_t>(p.correction_value));
    if (p.correction_type != 1) {
      const int64_t v = magnitude % 100000;
      c.correction.push_back(Format("at@m%d%d%d%d%d%c", Digit(v, 10000), Digit(v, 1000),
                                    Digit(v, 100), Digit(v, 10), Digit(v, 1), kCr));
    } else {
      const int64_t v = magnitude % 10000;
      c.correction.push_back(
          Format("at@c%d%d%d%d%c", Digit(v, 1000), Digit(v, 100), Digit(v, 10), Digit(v, 1), kCr));
    }
  } else {
    c.correction.push_back(Format("at@c%d%c", 0, kCr));
  }
  c.working_mode = Format("ato%c", kCr);
  return c;
}

int AdapterCommand(LineContext& line, const std::string& command, int64_t timeout_ms) {
  if (!line.port.Write(reinterpret_cast<const uint8_t*>(command.data()), command.size())) {
    line.port.ClearErrors();
  }
  if (line.log) line.log->AddCommand(FrameKind::kAdapter, TraceDirection::kSent, command);
  const int64_t deadline = line.clock.NowNs() + MsToNs(timeout_ms);
  LineReader reader(line);
  for (;;) {
    const std::optional<uint8_t> byte = reader.TakeByte();
    if ((byte == '0' || byte == '4') && line.log) {
      line.log->AddCommand(FrameKind::kAdapter, TraceDirection::kReceived,
                           std::string(1, static_cast<char>(*byte)));
    }
    if (byte == '0') return kAdapterAnswerOk;
    if (byte == '4') return kAdapterAnswerError;
    if (line.clock.NowNs() >= deadline) return kAdapterAnswerNone;
    if (!byte) {
      reader.Wait(deadline);
      line.host.PumpMessages();
    }
  }
}

int AdapterSetUp(LineContext& line, const AdapterSetUpParams& params, StatusPanelRef status) {
  const AdapterCommands c = FormatAdapterCommands(params);

  line.port.SetDtr(true);
  line.port.SetRts(true);

  ShowStep(line, status, "Перевод адаптера в командный режим");
  // The adapter's answers to the escape say nothing reliable: they are not read.
  for (int i = 0; i < kEscapes; ++i) AdapterCommand(line, c.escape, kEscapeTimeoutMs);

  ShowStep(line, status, "Установка номера линии");
  if (!SendUntilAnswered(line, c.line, true)) return kAdapterNoLine;

  ShowStep(line, status, "Установка скорости обмена между адаптерами");
  if (!SendUntilAnswered(line, c.rate, false)) return kAdapterNoRate;

  ShowStep(line, status, "Установка коэффициента усиления сигналов");
  if (!SendUntilAnswered(line, c.gains, false)) return kAdapterNoGains;

  ShowStep(line, status, "Установка флага использования радиосвязи");
  if (!SendUntilAnswered(line, c.radio, false)) return kAdapterNoRadio;

  ShowStep(line, status, "Установка флага использования лидирующей частоты");
  if (!SendUntilAnswered(line, c.leading_frequency, false)) return kAdapterNoLeadingFrequency;

  ShowStep(line, status, "Установка коррекции разности частот кварцев");
  for (const std::string& command : c.correction) {
    if (!SendUntilAnswered(line, command, false)) return kAdapterNoCorrection;
  }

  ShowStep(line, status, "Перевод адаптера в рабочий режим");
  if (!SendUntilAnswered(line, c.working_mode, true)) return kAdapterNoWorkingMode;

  ShowStep(line, status, "Соединение с адаптером установлено");
  line.port.SetRts(true);
  return kAdapterOk;
}

}  // namespace kvarta
