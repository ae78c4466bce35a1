#include "config/access_model.h"

#include <cstring>

#include "config/config_dialogs.h"
#include "config/log_on_model.h"
#include "link/message_window.h"

namespace kvarta {
namespace {

constexpr size_t kFieldLength[4] = {kUserCodeSize, kUserCodeSize, kUserPasswordSize,
                                    kUserPasswordSize};

bool Blank(const std::string& utf8) {
  return utf8.find_first_not_of(' ') == std::string::npos;
}

}  // namespace

UsPassModel::UsPassModel(Host& host, const uint8_t* password, const uint8_t* code) : host_(host) {
  std::memcpy(given_password_.data(), password, kUserPasswordSize);
  std::memcpy(given_code_.data(), code, kUserCodeSize);
}

void UsPassModel::OnShow() {
  const std::string password = PaddedText(given_password_.data(), kUserPasswordSize);
  const std::string code = PaddedText(given_code_.data(), kUserCodeSize);
  texts_ = {code, code, password, password};
  focus = kCode;
  accepted_ = false;
  closed_ = false;
}

void UsPassModel::SetText(Field field, const std::string& utf8) {
  if (field < kCode || field > kPasswordConfirm) return;
  texts_[field] = CutToChars(utf8, kFieldLength[field]);
}

bool UsPassModel::CodeKeyAllowed(int key) {
  return LogOnModel::CodeKeyAllowed(key);
}

void UsPassModel::OnEnter(Field field) {
  switch (field) {
    case kCode:
      focus = kCodeConfirm;
      break;
    case kCodeConfirm:
      focus = kPassword;
      break;
    case kPassword:
      focus = kPasswordConfirm;
      break;
    case kPasswordConfirm:
      focus = kAcceptButton;
      OnAccept();
      break;
    case kAcceptButton:
      OnAccept();
      break;
  }
}

void UsPassModel::OnAccept() {
  if (texts_[kPassword] != texts_[kPasswordConfirm]) {
    ShowMessageWindow(host_, kMessageInputError, "Несовпадение введенных паролей",
                      "Повторите процесс сначала");
    texts_[kPassword].clear();
    texts_[kPasswordConfirm].clear();
    focus = kPassword;
    return;
  }
  if (texts_[kCode] != texts_[kCodeConfirm]) {
    ShowMessageWindow(host_, kMessageInputError, "Несовпадение введенных кодов",
                      "Повторите процесс сначала");
    texts_[kCode].clear();
    texts_[kCodeConfirm].clear();
    focus = kCode;
    return;
  }
  // A code of blanks is no code: the controller would take the user as
  // having none.
  if (Blank(texts_[kCode])) {
    ShowMessageWindow(host_, kMessageInputError, "Не задан код идентификации пользователя", "");
    focus = kCode;
    return;
  }
  PutPadded(result_password_.data(), kUserPasswordSize, texts_[kPassword]);
  PutPadded(result_code_.data(), kUserCodeSize, texts_[kCode]);
  accepted_ = true;
  closed_ = true;
}

void UsPassModel::OnCancel() {
  accepted_ = false;
  closed_ = true;
}

AccessModel::AccessModel(Host& host, ConfigDialogOpener& opener, uint8_t* list, AccessMode mode)
    : host_(host), opener_(opener), list_(list), mode_(mode) {}

void AccessModel::OnShow() {
  std::memcpy(work_.data(), list_, kUserListSize);
  accepted_ = false;
  closed_ = false;
  for (int i = 0; i < kUserCount; ++i) {
    const uint8_t* user = UserRecord(work_.data(), i);
    const uint8_t level = user[kUserLevelOffset];
    Row& row = rows[i];
    row.level = level < kLevelCount ? level : -1;
    if (level != kLevelNone) {
      row.name = PaddedText(user, kUserNameSize);
      row.button_enabled = mode_ == AccessMode::kRestore;
    } else {
      row.name.clear();
      row.button_enabled = false;
    }
  }
}

void AccessModel::OnNameChange(int row, const std::string& utf8) {
  if (row < 0 || row >= kUserCount) return;
  rows[row].name = CutToChars(utf8, kUserNameSize);
}

void AccessModel::OnLevelChange(int row, int level) {
  if (row < 0 || row >= kUserCount) return;
  rows[row].level = level >= 0 && level < kLevelCount ? level : -1;
  rows[row].button_enabled = rows[row].level > 0 && mode_ == AccessMode::kRestore;
}

void AccessModel::OnCredentials(int row) {
  if (row < 0 || row >= kUserCount || !rows[row].button_enabled) return;
  uint8_t* user = UserRecord(work_.data(), row);
  UsPassModel window(host_, user + kUserPasswordOffset, user + kUserCodeOffset);
  window.OnShow();
  opener_.OpenUsPass(window);
  if (!window.accepted()) return;
  std::memcpy(user + kUserPasswordOffset, window.ResultPassword().data(), kUserPasswordSize);
  std::memcpy(user + kUserCodeOffset, window.ResultCode().data(), kUserCodeSize);
}

void AccessModel::OnAccept() {
  for (int i = 0; i < kUserCount; ++i) {
    uint8_t* user = UserRecord(work_.data(), i);
    Row& row = rows[i];
    const int level = row.level < 0 ? kLevelNone : row.level;
    user[kUserLevelOffset] = static_cast<uint8_t>(level);
    std::memset(user, ' ', kUserNameSize);
    if (level != kLevelNone) {
      PutPadded(user, kUserNameSize, row.name);
    } else {
      std::memset(user + kUserPasswordOffset, ' ', kUserPasswordSize);
      std::memset(user + kUserCodeOffset, ' ', kUserCodeSize);
      row.name.clear();
    }
    user[kUserReservedOffset] = 0;
  }
  if (mode_ == AccessMode::kRestore) {
    if (const auto error = CheckUserList(work_.data())) {
      ShowMessageWindow(host_, kMessageInputError, error->line1, error->line2);
      return;
    }
  }
  std::memcpy(list_, work_.data(), kUserListSize);
  accepted_ = true;
  closed_ = true;
}

void AccessModel::OnCancel() {
  accepted_ = false;
  closed_ = true;
}

}  // namespace kvarta
