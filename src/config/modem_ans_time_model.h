// The timeouts window (TFormModem_Ans_Time) over table 20: one panel per
// modem type, seven boxes with the ranges of the required modem.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "config/editor_controls.h"

namespace kvarta {

class Host;

inline constexpr int kTimeoutCount = 7;
inline constexpr int kTimeoutsTableSize = 14;

class ModemAnsTimeModel {
 public:
  static constexpr const char* kTitle = " Таймауты";
  static constexpr int kWidth = 716;
  static constexpr int kHeight = 357;

  // table20: the caller's 14 bytes, replaced only on confirmation;
  // modem_code: table 0 field 17 (0 SC3000, 1 mc55iT).
  ModemAnsTimeModel(Host& host, uint8_t* table20, uint8_t modem_code, EditorMode mode);

  std::string ConfirmText() const { return ConfirmCaption(mode_); }

  void OnShow();
  void OnAccept();  // "Записать в устройство" / "Принять"
  void OnCancel();  // "Отменить"

  bool sc3000_visible = false;
  bool mc55it_visible = false;
  // A modem code without a panel has no boxes to take values from: nothing
  // can be confirmed then.
  bool confirm_enabled = false;
  std::array<EditControl, kTimeoutCount> boxes;
  std::array<std::string, kTimeoutCount> range_labels;  // "(%u...%u)"
  std::array<std::string, kTimeoutCount> labels;        // the command or wait each box is for
  int failed_box = -1;                                  // the box a failed check is about

  uint8_t modem_code() const { return modem_code_; }
  EditorMode mode() const { return mode_; }
  bool changed() const { return changed_; }
  bool closed() const { return closed_; }

 private:
  Host& host_;
  uint8_t* table_;
  uint8_t modem_code_;
  EditorMode mode_;
  bool changed_ = false;
  bool closed_ = false;
};

}  // namespace kvarta
