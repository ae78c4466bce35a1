#include "connection/conn_par_model.h"

#include <array>

#include "connection/abonents_list_model.h"
#include "connection/dialog_opener.h"
#include "connection/number_input.h"
#include "link/message_window.h"
#include "platform/baud_rates.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr std::array<uint32_t, 3> kAdapterRates = {2400, 4800, 9600};

constexpr const char* kNotAll = "Введены не все параметры";
constexpr const char* kOutOfRange = "Параметр вне допустимого диапазона";
constexpr const char* kNotNumber = "Введите целое число";

constexpr const char* kPreamblesField = "Количество преамбул в запросе";
constexpr const char* kFirstWaitField = "Время ожидания первого байта ответа";
constexpr const char* kNextWaitField = "Время ожидания следующих байтов ответа";
constexpr const char* kConnectWaitField = "Ожидание соединения";
constexpr const char* kConnectAttemptsField = "Количество попыток соединения";
constexpr const char* kCorrectionField = "Значение для коррекции разности частот";

void Fill(ChoiceList& list, std::initializer_list<const char*> items) {
  list.items.assign(items.begin(), items.end());
}

}  // namespace

ConnParModel::ConnParModel(Host& host, ConnectionSettings& settings, ConnectionKind kind,
                           DialogOpener& opener)
    : subscriber(host, settings.phone_book, opener),
      host_(host),
      settings_(settings),
      kind_(kind),
      opener_(opener) {
  for (int n = 1; n <= 16; ++n) port.items.push_back(Format("COM%d", n));
  for (int n = 1; n <= 5; ++n) attempts.items.push_back(Format(" %d", n));
  for (int n = 1; n <= 8; ++n) line_num.items.push_back(Format(" %d", n));
  Fill(adapter_rate, {" 300", " 600", " 1200", " 600 ФМ", " 2400"});
  for (int n = 0; n <= 255; ++n) k_output.items.push_back(Format(" %d", n));
  k_input.items = k_output.items;
  Fill(radio, {" Не используется", " Используется"});
  Fill(lider, {" Не требуется", " Требуется"});
  Fill(correction, {" Не требуется", " Требуется"});
  Fill(correction_unit, {" В микросекундах", " В бодах"});
}

void ConnParModel::OnShow() {
  switch (kind_) {
    case ConnectionKind::kDirect:
      title = "Параметры связи с устройством (непосредственная связь)";
      height = 220;
      break;
    case ConnectionKind::kPhone:
      title = "Параметры связи с устройством (связь по телефону)";
      height = 382;
      break;
    case ConnectionKind::kAdapter:
      title = "Параметры связи с устройством (через адаптер связи)";
      height = 474;
      break;
  }
  phone_panel_visible = kind_ == ConnectionKind::kPhone;
  adapter_panel_visible = kind_ == ConnectionKind::kAdapter;
  accepted_ = false;
  closed_ = false;

  work_ = settings_.Channel(kind_);
  port.Select(work_.com_port - 1);
  rate.items.clear();
  rate.index = -1;
  if (kind_ == ConnectionKind::kAdapter) {
    for (size_t i = 0; i < kAdapterRates.size(); ++i) {
      rate.items.push_back(Format("%u", kAdapterRates[i]));
      if (kAdapterRates[i] == work_.SelectedRate()) rate.index = static_cast<int>(i);
    }
  } else {
    for (uint32_t r : BaudRateTable) rate.items.push_back(Format("%u", r));
    rate.Select(RateIndexOf(work_.SelectedRate()));
  }
  first_wait.SetText(Format("%u", work_.wait_time));
  next_wait.SetText(Format("%u", work_.time_out));
  preambles.SetText(Format("%u", static_cast<unsigned>(work_.SelectedPreambles())));
  attempts.Select(work_.repeat - 1);

  if (kind_ == ConnectionKind::kPhone) {
    connect_wait.SetText(Format("%u", settings_.modem.connect_wait_time));
    connect_attempts.SetText(Format("%u", settings_.modem.conn_repeat));
    command.SetText(settings_.modem.command);
    subscriber.Refill();
    ShowPhoneNumber();
  }
  if (kind_ == ConnectionKind::kAdapter) {
    const AdapterLineParams& a = settings_.adap_line;
    line_num.Select(a.line_num);
    adapter_rate.Select(a.baud_rate);
    k_output.Select(a.k_output);
    k_input.Select(a.k_input);
    radio.Select(a.radio_on);
    lider.Select(a.lider_on);
    correction.Select(a.correction_on);
    ApplyCorrectionRule();
  }
}

void ConnParModel::ApplyCorrectionRule() {
  if (correction.index != 1) {
    correction_unit.index = -1;
    correction_unit.enabled = false;
    correction_unit_label_enabled = false;
    correction_value_label_enabled = false;
    range_label_enabled = false;
    correction_value.enabled = false;
    plus_enabled = false;
    minus_enabled = false;
    return;
  }
  correction_unit.enabled = true;
  correction_unit_label_enabled = true;
  correction_unit.Select(settings_.adap_line.correction_type);
  ApplyUnitRule();
}

void ConnParModel::ApplyUnitRule() {
  const bool on = correction_unit.HasSelection();
  correction_value_label_enabled = on;
  range_label_enabled = on;
  correction_value.enabled = on;
  plus_enabled = on;
  minus_enabled = on;
  if (!on) {
    correction_value.SetText("");
    return;
  }
  const int64_t stored = settings_.adap_line.correction_value;
  correction_value.SetText(Format("%lld", static_cast<long long>(stored < 0 ? -stored : stored)));
  const bool bauds = correction_unit.index == 1;
  correction_min = bauds ? kBaudsMin : kMicrosecondsMin;
  correction_max = bauds ? kBaudsMax : kMicrosecondsMax;
  range_text = Format("Диапазон:  %u...%u", correction_min, correction_max);
  plus_checked = stored >= 0;
  minus_checked = !plus_checked;
}

void ConnParModel::OnAttemptsChange(int index) {
  attempts.Select(index);
  if (attempts.HasSelection()) work_.repeat = static_cast<uint8_t>(attempts.index + 1);
}

void ConnParModel::OnCorrectionChange(int index) {
  correction.Select(index);
  ApplyCorrectionRule();
}

void ConnParModel::OnUnitChange(int index) {
  correction_unit.Select(index);
  ApplyUnitRule();
}

void ConnParModel::OnPlus() {
  plus_checked = true;
  minus_checked = false;
}

void ConnParModel::OnMinus() {
  plus_checked = false;
  minus_checked = true;
}

void ConnParModel::ShowPhoneNumber() {
  phone_number = subscriber.PhoneNumber();
}

void ConnParModel::OnSubscriberChoose(int index) {
  subscriber.Choose(index);
  ShowPhoneNumber();
}

void ConnParModel::OnPhoneBookButton() {
  AbonentsListModel dialog(host_, settings_.phone_book, opener_);
  dialog.save = save_phone_book;
  dialog.OnShow();
  if (opener_.OpenAbonentsList(dialog) && dialog.accepted()) {
    subscriber.Refill();
    ShowPhoneNumber();
  }
}

bool ConnParModel::InputError(const char* line1, const char* line2) {
  ShowMessageWindow(host_, kMessageInputError, line1, line2);
  return false;
}

bool ConnParModel::ReadNumber(const EditBox& edit, const char* field, int64_t& value) {
  const std::optional<int64_t> parsed = ParseWholeNumber(edit.text);
  if (!parsed) return InputError(field, kNotNumber);
  value = *parsed;
  return true;
}

void ConnParModel::OnAccept() {
  if (!port.HasSelection() || !rate.HasSelection() || !attempts.HasSelection() ||
      first_wait.text.empty() || next_wait.text.empty() || preambles.text.empty()) {
    InputError(kNotAll, "");
    return;
  }
  work_.com_port = static_cast<uint8_t>(port.index + 1);
  work_.repeat = static_cast<uint8_t>(attempts.index + 1);

  int64_t count = 0;
  if (!ReadNumber(preambles, kPreamblesField, count)) return;
  if (count < 0 || count > 255) {
    InputError(kPreamblesField, kOutOfRange);
    return;
  }
  const uint32_t chosen_rate = kind_ == ConnectionKind::kAdapter
                                   ? kAdapterRates[static_cast<size_t>(rate.index)]
                                   : RateAt(rate.index);
  work_.SetSelected(chosen_rate, static_cast<uint8_t>(count));

  int64_t value = 0;
  if (!ReadNumber(first_wait, kFirstWaitField, value)) return;
  if (value < 1 || value > 120) {
    InputError(kFirstWaitField, kOutOfRange);
    return;
  }
  work_.wait_time = static_cast<uint32_t>(value);

  if (!ReadNumber(next_wait, kNextWaitField, value)) return;
  if (value < 55 || value > 5000) {
    InputError(kNextWaitField, kOutOfRange);
    return;
  }
  work_.time_out = static_cast<uint32_t>(value);

  ModemParams modem = settings_.modem;
  if (kind_ == ConnectionKind::kPhone) {
    modem.command = command.text;
    if (!ReadNumber(connect_wait, kConnectWaitField, value)) return;
    if (value < 1 || value > 360) {
      InputError(kConnectWaitField, kOutOfRange);
      return;
    }
    modem.connect_wait_time = static_cast<uint32_t>(value);
    if (!ReadNumber(connect_attempts, kConnectAttemptsField, value)) return;
    if (value < 1 || value > 10) {
      InputError(kConnectAttemptsField, kOutOfRange);
      return;
    }
    modem.conn_repeat = static_cast<uint32_t>(value);
  }

  AdapterLineParams line = settings_.adap_line;
  if (kind_ == ConnectionKind::kAdapter) {
    const bool all = line_num.HasSelection() && adapter_rate.HasSelection() &&
                     k_output.HasSelection() && k_input.HasSelection() && radio.HasSelection() &&
                     lider.HasSelection() && correction.HasSelection();
    const bool required = correction.index == 1;
    if (!all || (required && (!correction_unit.HasSelection() || correction_value.text.empty()))) {
      InputError(kNotAll, "");
      return;
    }
    line.line_num = static_cast<uint8_t>(line_num.index);
    line.baud_rate = static_cast<uint8_t>(adapter_rate.index);
    line.k_output = static_cast<uint8_t>(k_output.index);
    line.k_input = static_cast<uint8_t>(k_input.index);
    line.radio_on = static_cast<uint8_t>(radio.index);
    line.lider_on = static_cast<uint8_t>(lider.index);
    line.correction_on = static_cast<uint8_t>(correction.index);
    if (required) {
      line.correction_type = static_cast<uint8_t>(correction_unit.index);
      if (!ReadNumber(correction_value, kCorrectionField, value)) return;
      if (value < correction_min || value > correction_max) {
        InputError(kCorrectionField, kOutOfRange);
        return;
      }
      line.correction_value = static_cast<int32_t>(minus_checked ? -value : value);
    }
  }

  settings_.Channel(kind_) = work_;
  if (kind_ == ConnectionKind::kPhone) settings_.modem = modem;
  if (kind_ == ConnectionKind::kAdapter) settings_.adap_line = line;
  accepted_ = true;
  closed_ = true;
}

}  // namespace kvarta
