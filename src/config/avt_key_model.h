// The authorisation key window (TFormAvt_Key) of table 12: the key typed
// twice, exactly 8 characters, stored with a zero byte and zero filling.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kvarta {

class Host;

inline constexpr int kAuthorisationKeyLength = 8;
inline constexpr int kReportFieldSize = 66;  // table 12 field 0

class AvtKeyModel {
 public:
  static constexpr const char* kTitle = " Параметры отчета.  Ключ авторизации";
  static constexpr int kWidth = 350;
  static constexpr int kHeight = 240;
  static constexpr const char* kKeyLabel[2] = {"Введите ключ авторизации", "(8 символов)"};
  static constexpr const char* kConfirmLabel[2] = {"Подтвердите", "ключ авторизации"};
  static constexpr const char* kShowCharsCaption = "Показывать введенные символы";

  enum Field { kKey = 0, kConfirm = 1 };

  // target: the 66 bytes of table 12 field 0.
  AvtKeyModel(Host& host, uint8_t* target) : host_(host), target_(target) {}

  // Both fields empty, shown as "*", focus on the key.
  void OnShow();
  // The window's fields take at most kAuthorisationKeyLength characters.
  void SetText(Field field, const std::string& utf8);
  const std::string& Text(Field field) const { return texts_[field]; }
  // What the field shows: the text, or as many "*" while hidden.
  std::string Display(Field field) const;
  void OnFieldClick(Field field);
  // "Показывать введенные символы": plain or "*" display; the focus goes
  // back to the field last clicked with the caret at its end.
  void OnShowChars(bool checked);
  void OnAccept();  // "Принять"
  void OnCancel();  // "Отменить"

  bool show_chars = false;
  Field focus = kKey;
  int caret = 0;  // in the focused field, in characters

  bool accepted() const { return accepted_; }
  bool closed() const { return closed_; }

 private:
  void Refuse(const char* line1, const char* line2);

  Host& host_;
  uint8_t* target_;
  std::array<std::string, 2> texts_;
  Field last_clicked_ = kKey;
  bool accepted_ = false;
  bool closed_ = false;
};

}  // namespace kvarta
