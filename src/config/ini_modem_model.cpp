#include "config/ini_modem_model.h"

#include <cstring>

#include "link/table_layout.h"

namespace kvarta {

const ParamSpec& IniModemModel::BoxParam(int box) {
  static const char* const kNames[] = {"init_string", "balance_phone", "traffic_phone",
                                       "payment_phone"};
  return Param(21, kNames[box]);
}

IniModemModel::IniModemModel(Host& /*host*/, uint8_t* table21, EditorMode mode)
    : table_(table21), mode_(mode) {
  for (EditControl& box : boxes) box.max_chars = kModemTextMax;
}

void IniModemModel::OnShow() {
  for (int i = 0; i < kBoxCount; ++i) boxes[i].SetText(GetText(table_, BoxParam(i)));
}

void IniModemModel::OnAccept() {
  std::memset(table_, 0, kModemTableSize);
  for (int i = 0; i < kBoxCount; ++i) {
    if (!boxes[i].Empty()) SetText(table_, BoxParam(i), boxes[i].text);
  }
  changed_ = true;
  closed_ = true;
}

void IniModemModel::OnCancel() {
  closed_ = true;
}

}  // namespace kvarta
