// A window timer the core starts and stops.
#pragma once

#include <QTimer>

#include "link/host.h"

namespace kvarta::gui {

class QtTimer : public HostTimer {
 public:
  QtTimer(QObject* parent, int interval_ms, const char* name) : timer_(new QTimer(parent)) {
    timer_->setInterval(interval_ms);
    timer_->setObjectName(name);
  }
  void Start() override { timer_->start(); }
  void Stop() override { timer_->stop(); }
  QTimer* Get() const { return timer_; }

 private:
  QTimer* timer_;
};

}  // namespace kvarta::gui
