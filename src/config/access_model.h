// The users list editor (TFormAccess) and the password-and-code window
// (TFormUsPass) it opens for one user.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "config/user_list.h"

namespace kvarta {

class ConfigDialogOpener;
class Host;

// TFormUsPass, "Идентификация пользователя программы": a password and a
// code, each typed twice.
class UsPassModel {
 public:
  static constexpr const char* kTitle = "Идентификация пользователя программы";
  static constexpr int kWidth = 354;
  static constexpr int kHeight = 320;
  static constexpr const char* kPasswordGroup = " Пароль на запись ";
  static constexpr const char* kCodeGroup = " Код идентификации  пользователя ";

  enum Field { kCode, kCodeConfirm, kPassword, kPasswordConfirm, kAcceptButton };

  // password: 12 bytes, code: 4 bytes, both space-padded code page 1251.
  UsPassModel(Host& host, const uint8_t* password, const uint8_t* code);

  // Both pairs prefilled with the given values, focus on the code.
  void OnShow();
  // A field's text (UTF-8), cut to 12 or 4 characters.
  void SetText(Field field, const std::string& utf8);
  const std::string& Text(Field field) const { return texts_[field]; }
  // The code fields take digits, backspace, '%' and '\'' only.
  static bool CodeKeyAllowed(int key);
  // Enter: code -> confirmation -> password -> confirmation -> "Принять".
  void OnEnter(Field field);
  void OnAccept();  // "Принять"
  void OnCancel();  // "Отменить"

  Field focus = kCode;
  bool accepted() const { return accepted_; }
  bool closed() const { return closed_; }
  const std::array<uint8_t, kUserPasswordSize>& ResultPassword() const { return result_password_; }
  const std::array<uint8_t, kUserCodeSize>& ResultCode() const { return result_code_; }

 private:
  Host& host_;
  std::array<uint8_t, kUserPasswordSize> given_password_{};
  std::array<uint8_t, kUserCodeSize> given_code_{};
  std::array<std::string, 4> texts_;
  std::array<uint8_t, kUserPasswordSize> result_password_{};
  std::array<uint8_t, kUserCodeSize> result_code_{};
  bool accepted_ = false;
  bool closed_ = false;
};

enum class AccessMode {
  kRestore,  // "Записать в устройство", checks on, password buttons available
  kFile,     // "Принять", no checks, password buttons disabled
};

// TFormAccess, "Зарегистрированные пользователи ": sixteen rows of name,
// level and a password button over a working copy of the list.
class AccessModel {
 public:
  static constexpr const char* kTitle = "Зарегистрированные пользователи ";
  static constexpr int kWidth = 442;
  static constexpr int kHeight = 564;
  static constexpr const char* kNameHeading[3] = {"Имя ", "пользователя", "(до 4 символов)"};
  static constexpr const char* kCredentialsHeading[3] = {"Идентификатор", "пароль",
                                                         "пользователя,"};
  static constexpr const char* kLevelHeading[2] = {"Уровень", "доступа"};

  struct Row {
    std::string name;  // up to 4 characters
    int level = -1;    // index into AccessLevelNames(), -1 = nothing chosen
    bool button_enabled = false;
  };

  // list: the caller's 352 bytes, replaced only on acceptance.
  AccessModel(Host& host, ConfigDialogOpener& opener, uint8_t* list, AccessMode mode);

  std::string ConfirmText() const {
    return mode_ == AccessMode::kRestore ? "Записать в устройство" : "Принять";
  }

  void OnShow();
  void OnNameChange(int row, const std::string& utf8);
  void OnLevelChange(int row, int level);
  // The row's button: the password-and-code window for that user.
  void OnCredentials(int row);
  void OnAccept();
  void OnCancel();

  std::array<Row, kUserCount> rows;
  const UserList& working() const { return work_; }
  AccessMode mode() const { return mode_; }
  bool accepted() const { return accepted_; }
  bool closed() const { return closed_; }

 private:
  Host& host_;
  ConfigDialogOpener& opener_;
  uint8_t* list_;
  AccessMode mode_;
  UserList work_{};
  bool accepted_ = false;
  bool closed_ = false;
};

}  // namespace kvarta
