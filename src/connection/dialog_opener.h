// Opens the phone book dialogs on behalf of other dialog models: the desktop
// program shows real windows, the tests act on the models directly.
#pragma once

namespace kvarta {

class AbonentModel;
class AbonentsListModel;

class DialogOpener {
 public:
  virtual ~DialogOpener() = default;
  // Runs the dialog modally on a model whose OnShow has been called; returns
  // once it is closed, with the model's accepted flag.
  virtual bool OpenAbonent(AbonentModel& model) = 0;
  virtual bool OpenAbonentsList(AbonentsListModel& model) = 0;
};

}  // namespace kvarta
