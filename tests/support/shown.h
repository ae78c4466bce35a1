// A window's model as the window has it once it is on the screen: built in
// place and shown, so a test needs no separate OnShow().
#pragma once

#include <utility>

namespace kvarta::test {

template <typename Model>
struct Shown : Model {
  template <typename... Args>
  explicit Shown(Args&&... args) : Model(std::forward<Args>(args)...) {
    Model::OnShow();
  }
};

}  // namespace kvarta::test
