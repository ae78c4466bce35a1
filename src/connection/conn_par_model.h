// The connection parameter dialog (TFormConn_Par): port, rate, waits,
// preambles and attempts of one connection kind, plus the modem values for
// the phone kind and the line adapter values for the adapter kind.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "connection/connection_settings.h"
#include "connection/dialog_controls.h"
#include "connection/subscriber_choice.h"
#include "link/connection_kind.h"

namespace kvarta {

class DialogOpener;
class Host;

class ConnParModel {
 public:
  static constexpr int kWidth = 598;
  static constexpr uint32_t kMicrosecondsMin = 1900;
  static constexpr uint32_t kMicrosecondsMax = 65536;
  static constexpr uint32_t kBaudsMin = 0;
  static constexpr uint32_t kBaudsMax = 400;

  ConnParModel(Host& host, ConnectionSettings& settings, ConnectionKind kind, DialogOpener& opener);

  void OnShow();

  // The attempts list sets the working Repeat at once.
  void OnAttemptsChange(int index);
  // "Коррекция разности частот кварцев" and its unit list.
  void OnCorrectionChange(int index);
  void OnUnitChange(int index);
  void OnPlus();
  void OnMinus();
  // "Абонент" list and the phone book button.
  void OnSubscriberChoose(int index);
  void OnPhoneBookButton();
  // "Принять": checks in order and, all being well, stores and closes.
  void OnAccept();
  // "Выход".
  void OnExit() { closed_ = true; }

  ConnectionKind kind() const { return kind_; }
  bool accepted() const { return accepted_; }
  bool closed() const { return closed_; }
  const ChannelParams& working() const { return work_; }

  // Saves the phone book when its window was accepted.
  std::function<void()> save_phone_book;

  std::string title;
  int height = 0;
  bool phone_panel_visible = false;
  bool adapter_panel_visible = false;

  ChoiceList port;
  ChoiceList rate;
  EditBox first_wait;  // seconds
  EditBox next_wait;   // milliseconds
  EditBox preambles;
  ChoiceList attempts;

  // Phone panel.
  EditBox command{kModemCommandMax};
  EditBox connect_wait;
  EditBox connect_attempts;
  SubscriberChoice subscriber;
  std::string phone_number;

  // Adapter panel.
  ChoiceList line_num;
  ChoiceList adapter_rate;
  ChoiceList k_output;
  ChoiceList k_input;
  ChoiceList radio;
  ChoiceList lider;
  ChoiceList correction;
  ChoiceList correction_unit;
  bool correction_unit_label_enabled = true;
  bool correction_value_label_enabled = true;
  bool range_label_enabled = true;
  std::string range_text;
  EditBox correction_value{5};
  bool plus_checked = true;
  bool minus_checked = false;
  bool plus_enabled = true;
  bool minus_enabled = true;
  uint32_t correction_min = kMicrosecondsMin;
  uint32_t correction_max = kMicrosecondsMax;

 private:
  void ApplyCorrectionRule();
  void ApplyUnitRule();
  void ShowPhoneNumber();
  // Kind 2 message; always false so that a check can return it.
  bool InputError(const char* line1, const char* line2);
  // Parses a numeric edit; reports a text that is not a whole number.
  bool ReadNumber(const EditBox& edit, const char* field, int64_t& value);

  Host& host_;
  ConnectionSettings& settings_;
  ConnectionKind kind_;
  DialogOpener& opener_;
  ChannelParams work_;
  bool accepted_ = false;
  bool closed_ = false;
};

}  // namespace kvarta
