// A phone book dialog opener for model tests: each dialog is acted on by a
// script instead of a user.
#pragma once

#include <functional>

#include "connection/abonent_model.h"
#include "connection/abonents_list_model.h"
#include "connection/dialog_opener.h"

namespace kvarta::test {

class ScriptedOpener : public DialogOpener {
 public:
  bool OpenAbonent(AbonentModel& m) override {
    ++abonent_opens;
    if (on_abonent) on_abonent(m);
    return m.accepted();
  }
  bool OpenAbonentsList(AbonentsListModel& m) override {
    ++list_opens;
    if (on_list) on_list(m);
    return m.accepted();
  }
  std::function<void(AbonentModel&)> on_abonent;
  std::function<void(AbonentsListModel&)> on_list;
  int abonent_opens = 0;
  int list_opens = 0;
};

}  // namespace kvarta::test
