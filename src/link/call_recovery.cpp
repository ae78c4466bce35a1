// The question after a dropped modem call and the way back to a call.
#include "link/controller_link.h"
#include "link/message_window.h"

namespace kvarta {

int OfferReconnect(ControllerLink& link, bool carrier_test) {
  if (carrier_test && !link.CarrierLost()) return 0;

  for (HostTimer* timer :
       {link.keep_alive_timer, link.line_watch_timer, link.call_duration_timer}) {
    if (timer) timer->Stop();
  }
  // Without a recovery there is no way to dial again, so there is nothing to ask.
  if (link.recovery == nullptr) return 2;

  if (!ShowMessageWindow(link.host, kMessageQuestion, "Связь через модем прервана.",
                         "Восстановить сейчас?")) {
    link.recovery->Disconnect();
    return 2;
  }
  return link.recovery->Redial() ? 1 : 2;
}

}  // namespace kvarta
