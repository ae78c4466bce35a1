#include "config/change_access_model.h"

#include <cstring>

#include "link/message_window.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

bool Blank(const std::string& utf8) {
  return utf8.find_first_not_of(' ') == std::string::npos;
}

}  // namespace

void ChangeAccessModel::OnShow() {
  std::memcpy(work_.data(), table_, kUserListSize);
  adjuster_ = -1;
  admin_count_ = 0;
  last_admin_ = -1;
  changed_ = -1;
  closed_ = false;
  users.clear();
  for (int i = 0; i < kUserCount; ++i) {
    const uint8_t* user = UserRecord(work_.data(), i);
    const uint8_t lv = user[kUserLevelOffset];
    if (lv == kLevelAdjuster && adjuster_ < 0) adjuster_ = i;
    if (lv == kLevelAdministrator) {
      ++admin_count_;
      last_admin_ = i;
    }
    const std::string n = PaddedText(user, kUserNameSize);
    users.push_back(Blank(n) ? kBlankUser : n);
  }
  OnSelectUser(0);
}

void ChangeAccessModel::OnSelectUser(int index) {
  if (index < 0 || index >= kUserCount) return;
  selected = index;
  const uint8_t* user = UserRecord(table_, index);
  name = PaddedText(user, kUserNameSize);
  const uint8_t lv = user[kUserLevelOffset];
  level = lv < kLevelCount ? lv : -1;
  password.clear();
  password_confirm.clear();
  code.clear();
  code_confirm.clear();
}

void ChangeAccessModel::SetName(const std::string& utf8) {
  name = CutToChars(utf8, kUserNameSize);
}
void ChangeAccessModel::SetPassword(const std::string& utf8) {
  password = CutToChars(utf8, kUserPasswordSize);
}
void ChangeAccessModel::SetPasswordConfirm(const std::string& utf8) {
  password_confirm = CutToChars(utf8, kUserPasswordSize);
}
void ChangeAccessModel::SetCode(const std::string& utf8) {
  code = CutToChars(utf8, kUserCodeSize);
}
void ChangeAccessModel::SetCodeConfirm(const std::string& utf8) {
  code_confirm = CutToChars(utf8, kUserCodeSize);
}

bool ChangeAccessModel::InputError(const std::string& line1, const std::string& line2) {
  ShowMessageWindow(host_, kMessageInputError, line1, line2);
  return false;
}

void ChangeAccessModel::OnWrite() {
  const int i = selected;
  const int lv = level < 0 ? kLevelNone : level;
  if (i == adjuster_ && lv != kLevelAdjuster) {
    InputError("Вы не можете удалить пользователя", "с уровнем доступа \"Производитель-наладчик\"");
    return;
  }
  if (i != adjuster_ && lv == kLevelAdjuster) {
    InputError("Может быть зарегистрирован", "только один производитель-наладчик");
    return;
  }
  if (admin_count_ == 1 && last_admin_ == i && lv != kLevelAdministrator) {
    InputError("Вы не можете удалить единственного пользователя",
               "с уровнем доступа \"Администратор\"");
    return;
  }
  uint8_t* target = UserRecord(table_, i);
  if (lv == kLevelNone) {
    ClearUserRecord(target);
    changed_ = i;
    closed_ = true;
    return;
  }
  if (password != password_confirm) {
    InputError("Несовпадение введенных паролей", "Повторите процесс сначала");
    password.clear();
    password_confirm.clear();
    return;
  }
  if (code != code_confirm) {
    InputError("Несовпадение введенных кодов", "Повторите процесс сначала");
    code.clear();
    code_confirm.clear();
    return;
  }
  if (Blank(code)) {
    InputError("Не задан код идентификации пользователя", "");
    return;
  }
  if (Blank(name)) {
    InputError(Format("Номер пользователя в таблице - %d.", i + 1), "Не задано имя пользователя");
    return;
  }
  // Built aside: a refused attempt leaves the working list as it was.
  uint8_t record[kUserRecordSize];
  std::memcpy(record, UserRecord(work_.data(), i), kUserRecordSize);
  PutPadded(record, kUserNameSize, name);
  record[kUserLevelOffset] = static_cast<uint8_t>(lv);
  PutPadded(record + kUserPasswordOffset, kUserPasswordSize, password);
  PutPadded(record + kUserCodeOffset, kUserCodeSize, code);
  for (int j = 0; j < kUserCount; ++j) {
    const uint8_t* other = UserRecord(work_.data(), j);
    if (j == i || other[kUserLevelOffset] == kLevelNone) continue;
    if (std::memcmp(record, other, kUserNameSize) == 0) {
      InputError(Format("Пользователи   %d и % d.", i + 1, j + 1), "Совпадение имен пользователей");
      return;
    }
  }
  std::memcpy(UserRecord(work_.data(), i), record, kUserRecordSize);
  std::memcpy(target, record, kUserRecordSize);
  changed_ = i;
  closed_ = true;
}

void ChangeAccessModel::OnCancel() {
  changed_ = -1;
  closed_ = true;
}

}  // namespace kvarta
