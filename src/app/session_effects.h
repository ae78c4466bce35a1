// The main session as the configuration flows and editors see it: the
// companions of the image they refresh and the main window's reactions.
#pragma once

#include "app/call_supervision.h"
#include "app/session_parts.h"
#include "config/configuration_session.h"

namespace kvarta {

class SessionEffects : public ConfigurationSession {
 public:
  SessionEffects(SessionParts& parts, CallSupervision& calls, SessionControl& session)
      : parts_(parts), calls_(calls), session_(session) {}

  void SetServerCount(uint8_t count) override {
    parts_.facts.server_count = count;
    session_.RefreshOverview();
  }
  void ControllerAddressChanged(uint8_t address) override;
  void SetVrgParamsCopy(const uint8_t* table9) override;
  void BuildCommandMenus() override { parts_.view.RebuildCommandMenus(); }
  void SetKeepAliveInterval(int ms) override { calls_.SetKeepAliveIntervalMs(ms); }
  bool WriteAccessGranted() const override { return parts_.facts.write_access; }
  void SetServerLabels(const ServerLabels& labels) override {
    parts_.facts.server_labels = labels;
    session_.RefreshOverview();
  }
  void RefreshMainMenu() override { session_.RefreshMainMenu(); }
  void StartMessageTimer() override { parts_.view.Timer(MainTimer::kMessage).Start(); }

 private:
  SessionParts& parts_;
  CallSupervision& calls_;
  SessionControl& session_;
};

}  // namespace kvarta
