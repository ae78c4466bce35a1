// The VRG parameters (table 9): the list window (TFormVRG_Par) over the
// whole table and the window of one VRG record (TFormVRG_Conf).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "config/editor_controls.h"

namespace kvarta {

class Host;
class ParamDialogOpener;

inline constexpr int kVrgTableSize = 104;
inline constexpr int kVrgRecordSize = 24;
inline constexpr uint32_t kAllSpeeds = 0xFFFFFFFFu;

// TFormVRG_Conf, "Параметры ВРГ № %d": one 24-byte VRG record.
class VrgConfModel {
 public:
  static constexpr int kWidth = 670;
  static constexpr int kHeight = 230;
  static constexpr uint32_t kGroupMax = 16777215;

  // Which control a failed check is about (the focus goes there).
  enum Control { kNone, kAddress, kGroup, kLine, kRuns, kServer1, kServer2 };

  // record: the caller's 24 bytes, replaced only on acceptance.
  VrgConfModel(Host& host, uint8_t* record, int number, uint8_t server_count);

  void OnShow();
  // The address drop-down takes typing (digits) or a choice.
  void OnAddressText(const std::string& text);
  void OnAddressChoose(int index);
  void OnAccept();  // "Принять"
  void OnCancel();  // "Отменить"

  std::string title;
  ComboControl address;  // items 1..254
  EditControl address_text{3};
  EditControl group{8};
  ComboControl line;  // " RS232", " Bell-202"
  ComboControl runs;  // 1..3
  ComboControl server1;
  ComboControl server2;  // disabled with one server
  bool server2_label_enabled = true;
  Control focus = kNone;

  bool accepted() const { return accepted_; }
  bool closed() const { return closed_; }
  int number() const { return number_; }

 private:
  Host& host_;
  uint8_t* record_;
  int number_;
  uint8_t server_count_;
  bool accepted_ = false;
  bool closed_ = false;
};

// TFormVRG_Par, " Параметры вычислителей расхода газа": the polling values
// and one grid row per VRG shown.
class VrgParModel {
 public:
  static constexpr const char* kTitle = " Параметры вычислителей расхода газа";
  static constexpr int kWidth = 810;
  static constexpr int kHeight = 335;
  static constexpr uint32_t kGreyText = 0x808080;

  struct Row {
    std::string number, group, address, runs, line, server1, server2;
  };

  // Which control a failed check is about; kRecord: the VRG of current_row.
  enum Control {
    kNone,
    kVrgCount,
    kSpeed,
    kFailedExchanges,
    kSendDelay,
    kPreambles,
    kAnswerWait,
    kRecord
  };

  // table9: the caller's 104 bytes (image or file record), replaced only on
  // confirmation; speed_mask: table 1 field 0 (all bits from a file).
  VrgParModel(Host& host, ParamDialogOpener& opener, uint8_t* table9, uint32_t speed_mask,
              uint8_t server_count, EditorMode mode);

  std::string ConfirmText() const { return ConfirmCaption(mode_); }

  void OnShow();
  void OnVrgCountChange(int index);
  void OnSpeedChange(int index);
  // "Изменить" or a double click: the window of the VRG in that row.
  void OnEdit(int row);
  void OnAccept();  // "Записать в устройство" / "Принять"
  void OnCancel();  // "Отменить"

  ComboControl vrg_count;  // 1..4
  ComboControl speed;      // rates of the mask in bit/s; disabled without an RS232 VRG
  EditControl preambles{3};
  EditControl answer_wait{3};
  ComboControl failed_exchanges;  // 1..10
  ComboControl send_delay;        // 0..10
  bool server2_heading_grey = false;
  std::vector<Row> rows;
  int current_row = 0;
  Control focus = kNone;

  // BaudRateTable index of each speed item.
  const std::vector<int>& speed_indices() const { return speed_indices_; }
  const uint8_t* working() const { return work_.data(); }
  EditorMode mode() const { return mode_; }
  bool changed() const { return changed_; }
  bool closed() const { return closed_; }

 private:
  int ShownCount() const { return vrg_count.HasSelection() ? vrg_count.index + 1 : 0; }
  void ShowRows();
  void EvaluateSpeed();
  Row RowOf(int k) const;

  Host& host_;
  ParamDialogOpener& opener_;
  uint8_t* table_;
  uint32_t speed_mask_;
  uint8_t server_count_;
  EditorMode mode_;
  std::array<uint8_t, kVrgTableSize> work_{};
  std::vector<int> speed_indices_;
  bool changed_ = false;
  bool closed_ = false;
};

}  // namespace kvarta
