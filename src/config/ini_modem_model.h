// The modem window (TFormIni_Modem) over table 21: the initialisation string
// and the three service phone numbers.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "config/editor_controls.h"

namespace kvarta {

class Host;
struct ParamSpec;

inline constexpr int kModemTableSize = 250;
inline constexpr size_t kModemTextMax = 49;

class IniModemModel {
 public:
  static constexpr const char* kTitle = " Параметры работы с модемом";
  static constexpr int kWidth = 560;
  static constexpr int kHeight = 357;

  enum Box { kInitString, kBalancePhone, kTrafficPhone, kPaymentPhone, kBoxCount };

  // table21: the caller's 250 bytes, replaced on confirmation.
  IniModemModel(Host& host, uint8_t* table21, EditorMode mode);

  std::string ConfirmText() const { return ConfirmCaption(mode_); }
  // The table parameter each box edits.
  static const ParamSpec& BoxParam(int box);

  void OnShow();
  // Always a change: the caller's differential write sends only what differs.
  void OnAccept();  // "Записать в устройство" / "Принять"
  void OnCancel();  // "Отменить"

  std::array<EditControl, kBoxCount> boxes;

  EditorMode mode() const { return mode_; }
  bool changed() const { return changed_; }
  bool closed() const { return closed_; }

 private:
  uint8_t* table_;
  EditorMode mode_;
  bool changed_ = false;
  bool closed_ = false;
};

}  // namespace kvarta
