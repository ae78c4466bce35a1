// The single-user window (TFormChangeAccess) of a live controller: change,
// add or delete one user of table 4 without breaking the rules the
// controller enforces.
#pragma once

#include <string>
#include <vector>

#include "config/user_list.h"

namespace kvarta {

class Host;

class ChangeAccessModel {
 public:
  static constexpr const char* kTitle = "Доступ пользователей к записи в контроллер";
  static constexpr int kWidth = 636;
  static constexpr int kHeight = 342;
  static constexpr const char* kBlankUser = "   --   ";
  static constexpr const char* kDeleteNote =
      "Для удаления пользователя достаточно ввести уровень доступа \"Нет доступа\"";

  // table4: the image's 352 bytes of table 4, changed in place on success.
  ChangeAccessModel(Host& host, uint8_t* table4) : host_(host), table_(table4) {}

  // Working copy, the adjuster and the administrators; user 1 selected.
  void OnShow();
  void OnSelectUser(int index);
  void SetName(const std::string& utf8);
  void SetPassword(const std::string& utf8);
  void SetPasswordConfirm(const std::string& utf8);
  void SetCode(const std::string& utf8);
  void SetCodeConfirm(const std::string& utf8);
  void OnWrite();   // "Записать в устройство"
  void OnCancel();  // "Отменить"

  std::vector<std::string> users;  // the drop-down "Выбор пользователя для коррекции"
  int selected = 0;
  std::string name;
  int level = -1;  // index into AccessLevelNames(), -1 = nothing chosen
  std::string password, password_confirm;
  std::string code, code_confirm;

  // The user whose record changed in the image (0-based), -1 for none.
  int changed_user() const { return changed_; }
  bool closed() const { return closed_; }

 private:
  bool InputError(const std::string& line1, const std::string& line2);

  Host& host_;
  uint8_t* table_;
  UserList work_{};
  int adjuster_ = -1;
  int admin_count_ = 0;
  int last_admin_ = -1;
  int changed_ = -1;
  bool closed_ = false;
};

}  // namespace kvarta
