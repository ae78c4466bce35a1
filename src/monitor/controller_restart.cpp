#include "monitor/controller_restart.h"

#include "link/controller_link.h"
#include "link/function_codes.h"
#include "link/message_window.h"
#include "link/result_messages.h"

namespace kvarta {
namespace {

bool SendRestart(ControllerLink& link, StatusBar* status) {
  if (status) status->SetPanelText(2, "Передача команды 32");
  const bool ok = SendRequest(link, kRestartFunction, nullptr, 0, 0);
  if (status) status->SetPanelText(2, "");
  return ok;
}

}  // namespace

bool RestartController(ControllerLink& link, StatusBar* status) {
  if (SendRestart(link, status)) return true;
  ShowMessageWindow(link.host, kMessageInfo,
                    "Результат выполнения запроса:", FormatResultMessage(link));
  return false;
}

void OfferRestart(ControllerLink& link, StatusBar* status) {
  if (!ShowMessageWindow(link.host, kMessageQuestion, "Перезапустить контроллер?", "")) return;
  while (!SendRestart(link, status)) {
    if (!ShowMessageWindow(link.host, kMessageRetry,
                           "Результат выполнения запроса:", FormatResultMessage(link))) {
      return;
    }
  }
  ShowMessageWindow(link.host, kMessageInfo, "Команда выполнена", "");
}

}  // namespace kvarta
