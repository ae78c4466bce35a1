#include "connection/abonent_model.h"

#include "connection/number_input.h"
#include "link/message_window.h"
#include "platform/text_format.h"

namespace kvarta {

AbonentModel::AbonentModel(Host& host, Subscriber& slot, Mode mode)
    : host_(host), slot_(slot), mode_(mode) {
  for (int a = 1; a <= 255; ++a) address.items.push_back(Format("%d", a));
}

void AbonentModel::OnShow() {
  if (mode_ == Mode::kEdit) {
    name.SetText(slot_.name);
    SetAddressText(Format("%d", slot_.contr_adr));
    phone.SetText(slot_.phone_code);
    focus_on_name = false;
  } else {
    name.SetText("");
    SetAddressText("");
    phone.SetText("");
    focus_on_name = true;
  }
}

void AbonentModel::SetAddressText(const std::string& text) {
  address_text = text;
  address.index = -1;
  for (size_t i = 0; i < address.items.size(); ++i) {
    if (address.items[i] == text) address.index = static_cast<int>(i);
  }
}

void AbonentModel::ChooseAddress(int index) {
  address.Select(index);
  if (address.HasSelection()) address_text = address.Text();
}

void AbonentModel::OnAccept() {
  if (address_text.empty() || name.text.empty() || phone.text.empty()) {
    ShowMessageWindow(host_, kMessageInputError, "Введены не все параметры", "");
    return;
  }
  const std::optional<int64_t> value = ParseWholeNumber(address_text);
  if (!value) {
    ShowMessageWindow(host_, kMessageInputError, "Адрес", "Введите целое число");
    return;
  }
  if (*value < 1 || *value > 255) {
    ShowMessageWindow(host_, kMessageInputError, "Адрес вне допустимого диапазона", "(1...255)");
    return;
  }
  slot_.contr_adr = static_cast<uint8_t>(*value);
  slot_.name = name.text;
  slot_.phone_code = phone.text;
  accepted_ = true;
  closed_ = true;
}

}  // namespace kvarta
