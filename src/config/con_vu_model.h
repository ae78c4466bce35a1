// The link with the upper level (table 3): the link window (TFormConVU) and
// the sending schedule window (TFormData_Timing) it opens.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "config/editor_controls.h"

namespace kvarta {

class Host;
class ParamDialogOpener;

inline constexpr int kLinkTableSize = 122;

// TFormData_Timing, " Расписание для посылки данных": 24 hourly cells for
// each server's data type and for the modem, on the link window's working
// copy of table 3.
class DataTimingModel {
 public:
  static constexpr const char* kTitle = " Расписание для посылки данных";
  static constexpr int kWidth = 688;
  static constexpr int kHeight = 488;
  static constexpr int kHours = 24;
  static constexpr uint32_t kGreyText = 0x808080;

  enum Grid { kServer1, kServer2, kModem, kGridCount };

  explicit DataTimingModel(uint8_t* table3);

  // " %d" for hours 0-9, "%d" for 10-23.
  static std::string HourHeading(int hour);

  void OnShow();
  // A click on a cell: data types cycle " 0" -> " 1" -> " 2", the modem
  // state toggles. The server-2 grid takes no clicks with one server.
  void OnCellClick(Grid grid, int hour);
  void OnAccept();  // "Принять"
  void OnCancel();  // "Отменить"

  std::array<std::array<std::string, kHours>, kGridCount> cells;
  bool server2_enabled = true;

  bool accepted() const { return accepted_; }
  bool closed() const { return closed_; }

 private:
  bool TwoServers() const;

  uint8_t* table_;
  bool accepted_ = false;
  bool closed_ = false;
};

// TFormConVU, " Параметры связи с верхним уровнем ".
class ConVuModel {
 public:
  static constexpr const char* kTitle = " Параметры связи с верхним уровнем ";
  static constexpr int kWidth = 766;
  static constexpr int kHeight = 308;

  // Which control a failed check is about (the focus goes there).
  enum Control { kNone, kAddress, kPreambles, kAttempts, kServers, kAnswerWait };

  // table3: the caller's 122 bytes, replaced only on confirmation;
  // upper_speed_mask: table 1 field 1 (all bits from a file), not shown.
  ConVuModel(Host& host, ParamDialogOpener& opener, uint8_t* table3, uint32_t upper_speed_mask,
             EditorMode mode);

  std::string ConfirmText() const { return ConfirmCaption(mode_); }

  void OnShow();
  // The address drop-down takes typing (digits) or a choice.
  void OnAddressText(const std::string& text);
  void OnAddressChoose(int index);
  void OnAttemptsChange(int index);
  // The number of servers takes effect at once; with one server the
  // server-2 check box is disabled and unchecked.
  void OnServersChange(int index);
  void OnScheduleCheck(bool checked);
  void OnServer1Check(bool checked);
  void OnServer2Check(bool checked);
  // "Расписание": the schedule window on the working copy.
  void OnSchedule();
  void OnAccept();  // "Записать в устройство" / "Принять"
  void OnCancel();  // "Отменить"

  ComboControl address;  // items 1..254, typing allowed
  EditControl address_text{3};
  EditControl preambles{3};
  ComboControl attempts;  // 1..5
  ComboControl servers;   // 1, 2
  EditControl answer_wait{3};
  EditControl name{17};
  bool use_schedule = false;
  bool schedule_button_enabled = false;
  bool send_server1 = false;
  bool send_server2 = false;
  bool send_server2_enabled = false;
  Control focus = kNone;

  uint32_t upper_speed_mask() const { return upper_speed_mask_; }
  const uint8_t* working() const { return work_.data(); }
  EditorMode mode() const { return mode_; }
  bool changed() const { return changed_; }
  bool closed() const { return closed_; }

 private:
  void SetBit(int bit, bool on);
  void ApplyServers();

  Host& host_;
  ParamDialogOpener& opener_;
  uint8_t* table_;
  uint32_t upper_speed_mask_;
  EditorMode mode_;
  std::array<uint8_t, kLinkTableSize> work_{};
  bool changed_ = false;
  bool closed_ = false;
};

}  // namespace kvarta
