// search and imitate-modem: the line without a connected controller.
#include <cstdio>

#include "cli/cli_command.h"
#include "cli/cli_connection.h"
#include "connection/line_context.h"
#include "connection/modem_imitation.h"
#include "platform/text_format.h"

namespace kvarta::cli {
namespace {

// The search dialog's start-up values and opening rate.
constexpr uint32_t kSearchAnswerMs = 300;
constexpr uint32_t kSearchByteMs = 100;
constexpr uint8_t kSearchPreambles = 5;
constexpr uint8_t kSearchAttempts = 1;
constexpr uint32_t kSearchOpenRate = 1200;

int Search(CliContext& c) {
  const CliOptions& o = c.options;
  ConnectionParams params = c.line;
  params.kind = ConnectionKind::kDirect;
  params.line.rate = kSearchOpenRate;
  params.answer_timeout_ms = static_cast<uint32_t>(o.answer_timeout_ms.value_or(kSearchAnswerMs));
  params.inter_byte_timeout_ms = static_cast<uint32_t>(o.byte_timeout_ms.value_or(kSearchByteMs));
  params.preambles = static_cast<uint8_t>(o.preambles.value_or(kSearchPreambles));
  params.attempts = static_cast<uint8_t>(o.attempts.value_or(kSearchAttempts));
  bool searching = false;
  SearchProgress progress;
  if (o.verbose) {
    progress.on_rate = [](uint32_t rate) { std::fprintf(stderr, "Скорость обмена: %u\n", rate); };
  }
  const std::optional<SearchResult> found = c.connector.Search(params, searching, progress);
  if (!found) {
    PrintError(PortUnavailableMessage(params));
    return kExitFailed;
  }
  if (!found->found) {
    PrintError("Устройство не обнаружено");
    return kExitFailed;
  }
  StoreFoundDevice(c.store.settings, params.com, *found);
  std::printf("Установлена связь с устройством\n%s\n",
              Format("Адр. = %u.  Скорость обмена = %u", found->address, found->rate).c_str());
  if (!c.store.Save()) {
    PrintError("Найденные параметры связи не сохранены: не удалось записать " +
               c.store.folders().SettingsPath());
    return kExitFailed;
  }
  return kExitOk;
}

// Longest --timeout of imitate-modem: a day.
constexpr long kMaxImitationTimeoutS = 86400;

int ImitateModem(CliContext& c) {
  const char* usage = "imitate-modem [--timeout S]";
  long timeout_s = 0;
  if (!c.args.empty() && (c.args.size() != 2 || c.args[0] != "--timeout" ||
                          !ParseNumber(c.args[1], 1, kMaxImitationTimeoutS, timeout_s))) {
    return UsageError(usage);
  }
  auto port = c.connector.OpenLine(c.line.path, c.line.line.rate);
  if (!port) {
    PrintError(PortUnavailableMessage(c.line));
    return kExitFailed;
  }
  std::fprintf(stderr, "%s\n%s\n", kImitationWaitText, "Ctrl-C - прервать выполнение");
  ModemImitation imitation(LineContext{*port, c.link.clock, c.link.host});
  imitation.Begin();
  if (timeout_s > 0) imitation.SetDeadline(c.link.clock.NowNs() + MsToNs(timeout_s * 1000));
  if (imitation.Run() != ImitationState::kMatched) {
    if (imitation.timed_out()) {
      PrintError(Format("За %ld с контроллер не прислал команду инициализации модема", timeout_s));
    }
    return kExitFailed;
  }
  std::printf("%s\n", kImitationDoneText);
  return kExitOk;
}

}  // namespace

void AddLineCommands(std::vector<CliCommand>& commands) {
  commands.push_back({"search", "search", 0, 0, false, Search});
  commands.push_back({"imitate-modem", "imitate-modem [--timeout S]", 0, 2, false, ImitateModem});
}

}  // namespace kvarta::cli
