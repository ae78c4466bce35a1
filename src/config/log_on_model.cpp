#include "config/log_on_model.h"

#include <algorithm>
#include <cstring>

#include "link/controller_link.h"
#include "platform/cp1251.h"

namespace kvarta {
namespace {

// Cuts a UTF-8 text to at most n characters.
std::string CutChars(const std::string& utf8, size_t n) {
  return Cp1251ToUtf8(Utf8ToCp1251(utf8).substr(0, n));
}

template <size_t N>
void FillPadded(std::array<uint8_t, N>& out, const std::string& utf8) {
  out.fill(' ');
  const std::string cp = Utf8ToCp1251(utf8);
  std::memcpy(out.data(), cp.data(), std::min(cp.size(), N));
}

}  // namespace

void LogOnModel::Show() {
  code_.clear();
  password_.clear();
  accepted_ = false;
}

void LogOnModel::SetCode(const std::string& utf8) {
  code_ = CutChars(utf8, kCodeLength);
}

void LogOnModel::SetPassword(const std::string& utf8) {
  password_ = CutChars(utf8, kPasswordLength);
}

bool LogOnModel::CodeKeyAllowed(int key) {
  return (key >= '0' && key <= '9') || key == 8 || key == '%' || key == '\'';
}

void LogOnModel::Accept() {
  FillPadded(result_password_, password_);
  FillPadded(result_code_, code_);
  accepted_ = true;
}

void LogOnModel::ApplyTo(ControllerLink& link) const {
  link.write_password = result_password_;
  link.ident_code = result_code_;
}

}  // namespace kvarta
