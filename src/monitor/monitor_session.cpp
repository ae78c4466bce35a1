#include "monitor/monitor_session.h"

namespace kvarta {

CommandTargets TargetsOf(const MonitorSession& session) {
  CommandTargets t;
  const auto copy = session.VrgParamsCopy();
  t.vrgs = VrgListOf(copy.data());
  t.server_count = session.ServerCount();
  t.server_labels = {session.ServerLabel(0), session.ServerLabel(1)};
  return t;
}

bool ShouldOfferRestart(const MonitorSession& session) {
  return session.Kind() == ConnectionKind::kPhone && session.WriteAccessGranted();
}

}  // namespace kvarta
