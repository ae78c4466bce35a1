#include "config/inter_par_model.h"

#include <cstring>

#include "link/table_layout.h"

namespace kvarta {
namespace {

constexpr int kFieldCount = 11;

}  // namespace

const ParamSpec& InterParModel::BoxParam(int box) {
  static const char* const kNames[] = {
      "apn",        "user",         "password",   "connection_type",
      "server1_ip", "server1_port", "server2_ip", "server2_port"};
  return Param(22, kNames[box]);
}

InterParModel::InterParModel(Host& /*host*/, uint8_t* table22, uint8_t server_count,
                             EditorMode mode)
    : table_(table22), server_count_(server_count), mode_(mode) {
  for (EditControl& box : boxes) box.max_chars = kGprsTextMax;
}

bool InterParModel::ConnectionTypeKeyAllowed(int code) {
  return (code >= '0' && code <= '9') || (code >= 'a' && code <= 'z') ||
         (code >= 'A' && code <= 'Z') || code == '_' || code == 8 || code == '%' || code == '\'';
}

bool InterParModel::ConnectionTypeAllowed(std::string_view text) {
  for (char c : text) {
    if (c == 8 || !ConnectionTypeKeyAllowed(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

void InterParModel::OnShow() {
  std::memcpy(work_.data(), table_, work_.size());
  for (int f = 0; f < kFieldCount; ++f) work_[f * kGprsFieldSize + kGprsTextMax] = 0;
  server2_enabled = server_count_ == 2;
  for (int i = 0; i < kBoxCount; ++i) {
    const bool server2 = i == kServer2Ip || i == kServer2Port;
    boxes[i].SetText(server2 && !server2_enabled ? "" : GetText(work_.data(), BoxParam(i)));
    boxes[i].enabled = !server2 || server2_enabled;
  }
}

void InterParModel::OnAccept() {
  work_.fill(0);
  for (int i = 0; i < kBoxCount; ++i) {
    const bool server2 = i == kServer2Ip || i == kServer2Port;
    if (server2 && server_count_ != 2) continue;
    if (!boxes[i].Empty()) SetText(work_.data(), BoxParam(i), boxes[i].text);
  }
  std::memcpy(table_, work_.data(), work_.size());
  changed_ = true;
  closed_ = true;
}

void InterParModel::OnCancel() {
  closed_ = true;
}

}  // namespace kvarta
