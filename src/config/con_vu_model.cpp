#include "config/con_vu_model.h"

#include <cstring>

#include "config/param_dialogs.h"
#include "link/table_layout.h"

namespace kvarta {
namespace {

namespace t3 = layout::t3;

constexpr int kAddressItems = 254;
constexpr int kAddressMax = 255;
constexpr int kMaxAttempts = 5;
constexpr int kMaxServers = 2;
constexpr int kMaxAnswerWait = 30;
constexpr int kMaxPreambles = 255;

std::string DataCell(uint8_t type) {
  return type == 1 ? " 1" : type == 2 ? " 2" : " 0";
}

uint8_t DataType(const std::string& cell) {
  return cell == " 1" ? 1 : cell == " 2" ? 2 : 0;
}

}  // namespace

DataTimingModel::DataTimingModel(uint8_t* table3) : table_(table3) {}

std::string DataTimingModel::HourHeading(int hour) {
  return (hour < 10 ? " " : "") + std::to_string(hour);
}

bool DataTimingModel::TwoServers() const {
  return table_[t3::kServers] != 1;
}

void DataTimingModel::OnShow() {
  server2_enabled = TwoServers();
  for (int h = 0; h < kHours; ++h) {
    const uint8_t* e = table_ + t3::ScheduleEntry(h);
    cells[kServer1][h] = DataCell(e[t3::kScheduleServer1]);
    cells[kServer2][h] = server2_enabled ? DataCell(e[t3::kScheduleServer2]) : "";
    cells[kModem][h] = (e[t3::kScheduleModem] >> t3::kScheduleModemBit) & 1 ? " 1" : " 0";
  }
}

void DataTimingModel::OnCellClick(Grid grid, int hour) {
  if (grid < 0 || grid >= kGridCount || hour < 0 || hour >= kHours) return;
  if (grid == kServer2 && !server2_enabled) return;
  std::string& cell = cells[grid][hour];
  if (grid == kModem) {
    cell = cell == " 1" ? " 0" : " 1";
  } else {
    cell = DataCell(static_cast<uint8_t>((DataType(cell) + 1) % 3));
  }
}

void DataTimingModel::OnAccept() {
  const bool two = TwoServers();
  for (int h = 0; h < kHours; ++h) {
    uint8_t* e = table_ + t3::ScheduleEntry(h);
    e[t3::kScheduleServer1] = DataType(cells[kServer1][h]);
    if (two) e[t3::kScheduleServer2] = DataType(cells[kServer2][h]);
    const uint8_t bit = 1u << t3::kScheduleModemBit;
    e[t3::kScheduleModem] = static_cast<uint8_t>(
        cells[kModem][h] == " 1" ? e[t3::kScheduleModem] | bit : e[t3::kScheduleModem] & ~bit);
    e[t3::kScheduleReserved] = 0;
  }
  accepted_ = true;
  closed_ = true;
}

void DataTimingModel::OnCancel() {
  closed_ = true;
}

ConVuModel::ConVuModel(Host& host, ParamDialogOpener& opener, uint8_t* table3,
                       uint32_t upper_speed_mask, EditorMode mode)
    : host_(host),
      opener_(opener),
      table_(table3),
      upper_speed_mask_(upper_speed_mask),
      mode_(mode) {}

void ConVuModel::OnShow() {
  std::memcpy(work_.data(), table_, work_.size());
  address.items = NumberItems(1, kAddressItems);
  OnAddressText(std::to_string(work_[t3::kAddress]));
  preambles.SetText(std::to_string(work_[t3::kAnswerPreambles]));
  attempts.items = NumberItems(1, kMaxAttempts);
  attempts.Select(work_[t3::kDeliveryAttempts] - 1);
  servers.items = NumberItems(1, kMaxServers);
  servers.Select(work_[t3::kServers] - 1);
  answer_wait.SetText(std::to_string(work_[t3::kAnswerWait]));
  name.SetText(GetText(work_.data(), Param(3, "name")));
  use_schedule = work_[t3::kUseSchedule] != 0;
  schedule_button_enabled = use_schedule;
  send_server1 = (work_[t3::kSendServers] >> t3::kSendServer1Bit) & 1;
  ApplyServers();
}

void ConVuModel::ApplyServers() {
  send_server2_enabled = work_[t3::kServers] == 2;
  if (!send_server2_enabled) SetBit(t3::kSendServer2Bit, false);
  send_server2 = (work_[t3::kSendServers] >> t3::kSendServer2Bit) & 1;
}

void ConVuModel::SetBit(int bit, bool on) {
  const uint8_t mask = static_cast<uint8_t>(1u << bit);
  uint8_t& b = work_[t3::kSendServers];
  b = static_cast<uint8_t>(on ? b | mask : b & ~mask);
}

void ConVuModel::OnAddressText(const std::string& text) {
  address_text.SetText(text);
  address.index = address.Find(address_text.text);
}

void ConVuModel::OnAddressChoose(int index) {
  address.Select(index);
  if (address.HasSelection()) address_text.SetText(address.Text());
}

void ConVuModel::OnAttemptsChange(int index) {
  attempts.Select(index);
}

void ConVuModel::OnServersChange(int index) {
  servers.Select(index);
  if (!servers.HasSelection()) return;
  work_[t3::kServers] = static_cast<uint8_t>(servers.index + 1);
  ApplyServers();
}

void ConVuModel::OnScheduleCheck(bool checked) {
  use_schedule = checked;
  schedule_button_enabled = checked;
  work_[t3::kUseSchedule] = checked ? 1 : 0;
}

void ConVuModel::OnServer1Check(bool checked) {
  send_server1 = checked;
  SetBit(t3::kSendServer1Bit, checked);
}

void ConVuModel::OnServer2Check(bool checked) {
  if (!send_server2_enabled) return;
  send_server2 = checked;
  SetBit(t3::kSendServer2Bit, checked);
}

void ConVuModel::OnSchedule() {
  if (!schedule_button_enabled) return;
  DataTimingModel window(work_.data());
  window.OnShow();
  opener_.OpenDataTiming(window);
}

void ConVuModel::OnAccept() {
  focus = address_text.Empty()       ? kAddress
          : !servers.HasSelection()  ? kServers
          : !attempts.HasSelection() ? kAttempts
          : preambles.Empty()        ? kPreambles
          : answer_wait.Empty()      ? kAnswerWait
                                     : kNone;
  if (focus != kNone) {
    ShowInputError(host_, kNotAllParameters);
    return;
  }
  const std::optional<int64_t> p = BoxNumber(preambles.text);
  const std::optional<int64_t> a = BoxNumber(address_text.text);
  const std::optional<int64_t> w = BoxNumber(answer_wait.text);
  const int n = attempts.index + 1;
  focus = !p || *p > kMaxPreambles              ? kPreambles
          : !a || *a < 1 || *a > kAddressMax    ? kAddress
          : n < 1 || n > kMaxAttempts           ? kAttempts
          : !w || *w < 1 || *w > kMaxAnswerWait ? kAnswerWait
                                                : kNone;
  if (focus != kNone) {
    ShowInputError(host_, kEnterValues, kWithinRange);
    return;
  }
  std::memset(work_.data() + t3::kName, 0, t3::kNameSize);
  if (!name.Empty()) SetText(work_.data(), Param(3, "name"), name.text);
  work_[t3::kAnswerPreambles] = static_cast<uint8_t>(*p);
  work_[t3::kAddress] = static_cast<uint8_t>(*a);
  work_[t3::kDeliveryAttempts] = static_cast<uint8_t>(n);
  work_[t3::kAnswerWait] = static_cast<uint8_t>(*w);
  std::memcpy(table_, work_.data(), work_.size());
  changed_ = true;
  closed_ = true;
}

void ConVuModel::OnCancel() {
  closed_ = true;
}

}  // namespace kvarta
