// The log-on window (TFormShortUsPass, "Идентификация пользователя программы")
// as a model: two fields, their limits and filters, and what accepting yields.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kvarta {

struct ControllerLink;

class LogOnModel {
 public:
  static constexpr int kWidth = 368;
  static constexpr int kHeight = 187;
  static constexpr int kCodeLength = 4;
  static constexpr int kPasswordLength = 12;

  // Both fields emptied, focus on the code.
  void Show();
  // Field texts (UTF-8); longer texts are cut to the field length.
  void SetCode(const std::string& utf8);
  void SetPassword(const std::string& utf8);
  const std::string& Code() const { return code_; }
  const std::string& Password() const { return password_; }
  // Character filter of the code field: digits, backspace, '%' and '\''.
  static bool CodeKeyAllowed(int key);
  // "Принять": builds the credentials (space-padded code page 1251).
  void Accept();
  void Cancel() { accepted_ = false; }
  bool Accepted() const { return accepted_; }
  const std::array<uint8_t, 12>& ResultPassword() const { return result_password_; }
  const std::array<uint8_t, 4>& ResultCode() const { return result_code_; }
  // Makes the accepted credentials the link's current ones.
  void ApplyTo(ControllerLink& link) const;

 private:
  std::string code_;
  std::string password_;
  bool accepted_ = false;
  std::array<uint8_t, 12> result_password_{};
  std::array<uint8_t, 4> result_code_{};
};

}  // namespace kvarta
