#include "config/vrg_par_model.h"

#include <algorithm>
#include <cstring>

#include "config/param_dialogs.h"
#include "link/table_layout.h"
#include "platform/baud_rates.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

namespace t9 = layout::t9;

constexpr int kAddressMin = 1;
constexpr int kAddressMax = 254;
constexpr int kMaxRuns = 3;
constexpr int kMaxFailedExchanges = 10;
constexpr int kMaxSendDelay = 10;

uint32_t GroupOf(const uint8_t* record) {
  return record[t9::kGroup] | record[t9::kGroup + 1] << 8 | record[t9::kGroup + 2] << 16;
}

std::string ServerCell(uint8_t value) {
  switch (value) {
    case 0:
      return "    Нет";
    case 1:
      return "    Есть";
    default:
      return "    ?";
  }
}

std::string LineCell(uint8_t value) {
  switch (value) {
    case t9::kInterfaceRs232:
      return " RS232";
    case t9::kInterfaceBell202:
      return " Bell-202";
    default:
      return " ?";
  }
}

std::vector<std::string> SendItems() {
  return {"Не отправлять", "Отправлять"};
}

}  // namespace

VrgConfModel::VrgConfModel(Host& host, uint8_t* record, int number, uint8_t server_count)
    : host_(host), record_(record), number_(number), server_count_(server_count) {}

void VrgConfModel::OnShow() {
  title = Format("Параметры ВРГ № %d", number_);
  address.items = NumberItems(kAddressMin, kAddressMax);
  address.Select(record_[t9::kAddress] - 1);
  address_text.SetText(address.Text());
  group.SetText(std::to_string(GroupOf(record_)));
  line.items = {" RS232", " Bell-202"};
  const uint8_t interface_type = record_[t9::kInterface];
  line.Select(interface_type == t9::kInterfaceRs232     ? 0
              : interface_type == t9::kInterfaceBell202 ? 1
                                                        : -1);
  runs.items = NumberItems(1, kMaxRuns);
  runs.Select(record_[t9::kRuns] - 1);
  server1.items = SendItems();
  server1.Select(record_[t9::kServer1]);
  server2.items = SendItems();
  server2.Select(record_[t9::kServer2]);
  server2.enabled = server_count_ == 2;
  server2_label_enabled = server2.enabled;
}

void VrgConfModel::OnAddressText(const std::string& text) {
  address_text.SetText(text);
  address.index = address.Find(address_text.text);
}

void VrgConfModel::OnAddressChoose(int index) {
  address.Select(index);
  if (address.HasSelection()) address_text.SetText(address.Text());
}

void VrgConfModel::OnAccept() {
  focus = address_text.Empty()                         ? kAddress
          : !runs.HasSelection()                       ? kRuns
          : !server1.HasSelection()                    ? kServer1
          : !line.HasSelection()                       ? kLine
          : server2.enabled && !server2.HasSelection() ? kServer2
          : group.Empty()                              ? kGroup
                                                       : kNone;
  if (focus != kNone) {
    ShowInputError(host_, kNotAllParameters);
    return;
  }
  const std::optional<int64_t> a = BoxNumber(address_text.text);
  if (!a || *a < kAddressMin || *a > kAddressMax) {
    focus = kAddress;
    ShowInputError(host_, "Адрес вне допускаемого диапазона", "(1...254)");
    return;
  }
  const std::optional<int64_t> g = BoxNumber(group.text);
  if (!g || *g > kGroupMax) {
    focus = kGroup;
    ShowInputError(host_, "Группа вне допускаемого диапазона", "(0...16777215)");
    return;
  }
  std::array<uint8_t, kVrgRecordSize> r{};
  std::memcpy(r.data(), record_, r.size());
  r[t9::kAddress] = static_cast<uint8_t>(*a);
  for (int i = 0; i < t9::kGroupSize; ++i) r[t9::kGroup + i] = static_cast<uint8_t>(*g >> (8 * i));
  r[t9::kRuns] = static_cast<uint8_t>(runs.index + 1);
  r[t9::kServer1] = static_cast<uint8_t>(server1.index);
  r[t9::kServer2] = server_count_ == 2 ? static_cast<uint8_t>(server2.index) : 0;
  r[t9::kInterface] = line.index == 0 ? t9::kInterfaceRs232 : t9::kInterfaceBell202;
  std::memcpy(record_, r.data(), r.size());
  accepted_ = true;
  closed_ = true;
}

void VrgConfModel::OnCancel() {
  closed_ = true;
}

VrgParModel::VrgParModel(Host& host, ParamDialogOpener& opener, uint8_t* table9,
                         uint32_t speed_mask, uint8_t server_count, EditorMode mode)
    : host_(host),
      opener_(opener),
      table_(table9),
      speed_mask_(speed_mask),
      server_count_(server_count),
      mode_(mode) {}

void VrgParModel::OnShow() {
  std::memcpy(work_.data(), table_, work_.size());
  speed.items.clear();
  speed_indices_.clear();
  for (int i = 0; i < static_cast<int>(BaudRateTable.size()); ++i) {
    if (speed_mask_ & (1u << i)) {
      speed.items.push_back(std::to_string(BaudRateTable[static_cast<size_t>(i)]));
      speed_indices_.push_back(i);
    }
  }
  vrg_count.items = NumberItems(1, t9::kMaxVrgs);
  vrg_count.Select(work_[t9::kVrgCount] - 1);
  preambles.SetText(std::to_string(work_[t9::kPreambles]));
  answer_wait.SetText(std::to_string(work_[t9::kAnswerWait]));
  failed_exchanges.items = NumberItems(1, kMaxFailedExchanges);
  failed_exchanges.Select(work_[t9::kFailedExchanges] - 1);
  send_delay.items = NumberItems(0, kMaxSendDelay);
  send_delay.Select(work_[t9::kSendDelay]);
  server2_heading_grey = server_count_ == 1;
  ShowRows();
}

void VrgParModel::OnVrgCountChange(int index) {
  vrg_count.Select(index);
  if (vrg_count.HasSelection()) work_[t9::kVrgCount] = static_cast<uint8_t>(vrg_count.index + 1);
  ShowRows();
}

void VrgParModel::ShowRows() {
  rows.clear();
  for (int k = 0; k < ShownCount(); ++k) rows.push_back(RowOf(k));
  current_row = std::clamp(current_row, 0, std::max(0, ShownCount() - 1));
  EvaluateSpeed();
}

void VrgParModel::EvaluateSpeed() {
  bool rs232 = false;
  for (int k = 0; k < ShownCount(); ++k) {
    rs232 = rs232 || work_[t9::Record(k) + t9::kInterface] == t9::kInterfaceRs232;
  }
  speed.enabled = rs232;
  speed.index = -1;
  if (!rs232) return;
  const auto it = std::find(speed_indices_.begin(), speed_indices_.end(), work_[t9::kSpeed]);
  if (it != speed_indices_.end()) speed.index = static_cast<int>(it - speed_indices_.begin());
}

VrgParModel::Row VrgParModel::RowOf(int k) const {
  const uint8_t* r = work_.data() + t9::Record(k);
  Row row;
  row.number = Format("  %d", k + 1);
  row.group = Format("%8u", GroupOf(r));
  row.address = Format("   %03u", r[t9::kAddress]);
  row.runs = Format("     %u", r[t9::kRuns]);
  row.line = LineCell(r[t9::kInterface]);
  row.server1 = ServerCell(r[t9::kServer1]);
  if (server_count_ == 2) row.server2 = ServerCell(r[t9::kServer2]);
  return row;
}

void VrgParModel::OnSpeedChange(int index) {
  speed.Select(index);
  if (speed.HasSelection()) {
    work_[t9::kSpeed] = static_cast<uint8_t>(speed_indices_[static_cast<size_t>(speed.index)]);
  }
}

void VrgParModel::OnEdit(int row) {
  if (row < 0 || row >= ShownCount()) return;
  current_row = row;
  VrgConfModel window(host_, work_.data() + t9::Record(row), row + 1, server_count_);
  window.OnShow();
  opener_.OpenVrgConf(window);
  if (!window.accepted()) return;
  EvaluateSpeed();
  rows[static_cast<size_t>(row)] = RowOf(row);
}

void VrgParModel::OnAccept() {
  focus = !vrg_count.HasSelection()                ? kVrgCount
          : speed.enabled && !speed.HasSelection() ? kSpeed
          : !failed_exchanges.HasSelection()       ? kFailedExchanges
          : !send_delay.HasSelection()             ? kSendDelay
          : preambles.Empty()                      ? kPreambles
          : answer_wait.Empty()                    ? kAnswerWait
                                                   : kNone;
  if (focus != kNone) {
    ShowInputError(host_, kNotAllParameters);
    return;
  }
  const std::optional<int64_t> p = BoxNumber(preambles.text);
  const std::optional<int64_t> w = BoxNumber(answer_wait.text);
  focus = !p || *p > 255 ? kPreambles : !w || *w < 1 || *w > 255 ? kAnswerWait : kNone;
  if (focus != kNone) {
    ShowInputError(host_, kEnterValues, kWithinRange);
    return;
  }
  work_[t9::kPreambles] = static_cast<uint8_t>(*p);
  work_[t9::kAnswerWait] = static_cast<uint8_t>(*w);
  work_[t9::kFailedExchanges] = static_cast<uint8_t>(failed_exchanges.index + 1);
  work_[t9::kReserved1] = 0;
  work_[t9::kReserved6] = 0;
  for (int k = 0; k < ShownCount(); ++k) {
    const uint8_t* r = work_.data() + t9::Record(k);
    const bool sound =
        r[t9::kAddress] >= 1 && r[t9::kAddress] <= 254 &&
        (r[t9::kInterface] == t9::kInterfaceRs232 || r[t9::kInterface] == t9::kInterfaceBell202) &&
        r[t9::kServer1] < 2 && r[t9::kServer2] < 2;
    if (!sound) {
      current_row = k;
      focus = kRecord;
      ShowInputError(host_, Format("Вычислитель № %d.", k + 1), "Неверно заданы параметры.");
      return;
    }
  }
  work_[t9::kSendDelay] = static_cast<uint8_t>(send_delay.index);
  std::memcpy(table_, work_.data(), work_.size());
  changed_ = true;
  closed_ = true;
}

void VrgParModel::OnCancel() {
  closed_ = true;
}

}  // namespace kvarta
