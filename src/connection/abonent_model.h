// The subscriber dialog (TFormAbonent): one phone book slot's name, address
// and phone number, edited or filled in for a new entry.
#pragma once

#include <string>

#include "connection/dialog_controls.h"
#include "connection/phone_book.h"

namespace kvarta {

class Host;

class AbonentModel {
 public:
  enum class Mode { kEdit, kAdd };

  static constexpr const char* kTitle = " Параметры абонента";
  static constexpr int kWidth = 568;
  static constexpr int kHeight = 190;

  AbonentModel(Host& host, Subscriber& slot, Mode mode);

  void OnShow();
  void SetName(const std::string& utf8) { name.SetText(utf8); }
  void SetPhone(const std::string& utf8) { phone.SetText(utf8); }
  // The address list is editable: its text may be typed or chosen.
  void SetAddressText(const std::string& text);
  void ChooseAddress(int index);
  // "Принять": checks the fields and stores them into the slot.
  void OnAccept();
  // "Отменить".
  void OnCancel() { closed_ = true; }

  Mode mode() const { return mode_; }
  bool accepted() const { return accepted_; }
  bool closed() const { return closed_; }

  EditBox name{kSubscriberNameMax};
  ChoiceList address;
  std::string address_text;
  EditBox phone{kSubscriberPhoneMax};
  bool focus_on_name = false;

 private:
  Host& host_;
  Subscriber& slot_;
  Mode mode_;
  bool accepted_ = false;
  bool closed_ = false;
};

}  // namespace kvarta
