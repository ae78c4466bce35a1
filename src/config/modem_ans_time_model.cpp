#include "config/modem_ans_time_model.h"

#include "link/table_layout.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr size_t kBoxDigits = 5;

}  // namespace

ModemAnsTimeModel::ModemAnsTimeModel(Host& host, uint8_t* table20, uint8_t modem_code,
                                     EditorMode mode)
    : host_(host), table_(table20), modem_code_(modem_code), mode_(mode) {
  for (EditControl& box : boxes) box.max_chars = kBoxDigits;
}

void ModemAnsTimeModel::OnShow() {
  sc3000_visible = modem_code_ == layout::t0::kModemSc3000;
  mc55it_visible = modem_code_ == layout::t0::kModemMc55it;
  const std::span<const TimeoutRange> ranges = TimeoutRanges(modem_code_);
  confirm_enabled = ranges.size() == kTimeoutCount;
  const std::span<const ParamSpec> params = TableParams(20);
  for (size_t i = 0; i < kTimeoutCount; ++i) {
    boxes[i].SetText(confirm_enabled ? std::to_string(GetNumber(table_, params[i])) : "");
    range_labels[i] = confirm_enabled ? Format("(%u...%u)", ranges[i].min, ranges[i].max) : "";
    labels[i] = confirm_enabled ? std::string(ranges[i].label) : "";
  }
}

void ModemAnsTimeModel::OnAccept() {
  if (!confirm_enabled) return;
  const std::span<const TimeoutRange> ranges = TimeoutRanges(modem_code_);
  std::array<int64_t, kTimeoutCount> values{};
  for (size_t i = 0; i < kTimeoutCount; ++i) {
    failed_box = static_cast<int>(i);
    if (boxes[i].Empty()) {
      ShowInputError(host_, "Введены не все значения");
      return;
    }
    const std::optional<int64_t> v = BoxNumber(boxes[i].text);
    if (!v || *v < ranges[i].min || *v > ranges[i].max) {
      ShowInputError(host_, kEnterValues, kWithinRange);
      return;
    }
    values[i] = *v;
  }
  failed_box = -1;
  const std::span<const ParamSpec> params = TableParams(20);
  for (size_t i = 0; i < kTimeoutCount; ++i) SetNumber(table_, params[i], values[i]);
  changed_ = true;
  closed_ = true;
}

void ModemAnsTimeModel::OnCancel() {
  closed_ = true;
}

}  // namespace kvarta
