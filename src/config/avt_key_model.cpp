#include "config/avt_key_model.h"

#include <cstring>

#include "link/message_window.h"
#include "platform/cp1251.h"

namespace kvarta {

void AvtKeyModel::OnShow() {
  texts_ = {"", ""};
  show_chars = false;
  focus = kKey;
  last_clicked_ = kKey;
  caret = 0;
  accepted_ = false;
  closed_ = false;
}

void AvtKeyModel::SetText(Field field, const std::string& utf8) {
  // Not cut to the field's 8 characters: a longer key is refused by the
  // length check rather than silently shortened.
  texts_[field] = utf8;
  if (field == focus) caret = static_cast<int>(Utf8Length(texts_[field]));
}

std::string AvtKeyModel::Display(Field field) const {
  if (show_chars) return texts_[field];
  return std::string(Utf8Length(texts_[field]), '*');
}

void AvtKeyModel::OnFieldClick(Field field) {
  last_clicked_ = field;
  focus = field;
}

void AvtKeyModel::OnShowChars(bool checked) {
  show_chars = checked;
  focus = last_clicked_;
  caret = static_cast<int>(Utf8Length(texts_[focus]));
}

void AvtKeyModel::Refuse(const char* line1, const char* line2) {
  ShowMessageWindow(host_, kMessageInputError, line1, line2);
  texts_ = {"", ""};
  focus = kKey;
  caret = 0;
}

void AvtKeyModel::OnAccept() {
  if (texts_[kKey].empty() || texts_[kConfirm].empty()) {
    return Refuse("Не введен ключ авторизации.", "Повторите процесс сначала");
  }
  if (texts_[kKey] != texts_[kConfirm]) {
    return Refuse("Несовпадение введенных паролей", "Повторите процесс сначала");
  }
  const std::string key = Utf8ToCp1251(texts_[kKey]);
  if (key.size() != static_cast<size_t>(kAuthorisationKeyLength)) {
    return Refuse("Ключ авторизации должен содержать 8 символов", "Повторите процесс сначала");
  }
  // The whole field: the key, its zero byte and zeros to the end.
  std::memset(target_, 0, kReportFieldSize);
  std::memcpy(target_, key.data(), key.size());
  accepted_ = true;
  closed_ = true;
}

void AvtKeyModel::OnCancel() {
  accepted_ = false;
  closed_ = true;
}

}  // namespace kvarta
