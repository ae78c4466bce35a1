#include "monitor/command_record.h"

#include <algorithm>
#include <cstring>

#include "link/table_layout.h"
#include "monitor/command_texts.h"
#include "platform/cp1251.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

namespace t9 = layout::t9;

constexpr size_t kShortNameOffset = 0;
constexpr size_t kSecondLineOffset = 70;
constexpr size_t kTargetOffset = 140;

void PutText(uint8_t* dst, const std::string& utf8) {
  const std::string cp = Utf8ToCp1251(utf8);
  std::memset(dst, 0, kCommandTextSize);
  std::memcpy(dst, cp.data(), std::min(cp.size(), kCommandTextSize - 1));
}

std::string GetText(const uint8_t* src) {
  const uint8_t* end = std::find(src, src + kCommandTextSize, 0);
  return Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(src), end - src));
}

uint8_t AddressOf(const CommandTargets& targets, uint8_t vrg) {
  return vrg < targets.vrgs.size() ? targets.vrgs[vrg].address : 0;
}

}  // namespace

uint32_t CommandTag(uint8_t code, uint8_t server, uint8_t vrg, uint8_t run) {
  return static_cast<uint32_t>(code) | static_cast<uint32_t>(server) << 8 |
         static_cast<uint32_t>(vrg) << 16 | static_cast<uint32_t>(run) << 24;
}

CommandFields FieldsFromTag(uint32_t tag) {
  CommandFields f{};
  for (int i = 0; i < 4; ++i) f[i] = static_cast<uint8_t>(tag >> (8 * i));
  return f;
}

uint8_t CommandFieldsToWrite(const CommandFields& fields) {
  if (fields[0] == kNoCommandCode) return 1;
  if (ChoicesOf(fields[0]).period == CommandPeriod::kNone) return 4;
  return fields[5] != 0 ? 12 : 8;
}

int CommandTargets::MaxRuns() const {
  int most = 1;
  for (const VrgEntry& v : vrgs) most = std::max<int>(most, v.runs);
  return most;
}

int CommandTargets::RunsOf(uint8_t vrg) const {
  if (vrg == kAllTargets) return MaxRuns();
  return vrg < vrgs.size() ? vrgs[vrg].runs : 0;
}

std::vector<VrgEntry> VrgListOf(const uint8_t* copy) {
  int count = copy[t9::kVrgCount];
  if (count > kMaxVrgs) count = 1;
  std::vector<VrgEntry> list;
  for (int k = 0; k < count; ++k) {
    const uint8_t* r = copy + t9::Record(k);
    // A run count the controller would refuse would flood the menus.
    list.push_back({r[t9::kAddress], std::min<uint8_t>(r[t9::kRuns], kMaxRuns)});
  }
  return list;
}

CommandTexts DescribeCommand(const CommandFields& f, const CommandTargets& targets) {
  CommandTexts t;
  const int code = f[0];
  t.short_name = CommandShortName(code);
  const CommandChoices choices = ChoicesOf(code);
  if (choices.period == CommandPeriod::kHours) {
    t.second_line =
        f[5] != 0 ? Format(kHourPeriodFormat, f[6], f[5], f[4], f[7], f[10], f[9], f[8], f[11])
                  : kLastHourText;
  } else if (choices.period == CommandPeriod::kDays) {
    t.second_line =
        f[5] != 0 ? Format(kDayPeriodFormat, f[6], f[5], f[4], f[10], f[9], f[8]) : kLastDayText;
  } else {
    t.second_line = CommandSecondLine(code);
  }
  const std::string server = f[1] == kAllTargets ? "Все серверы." : Format("Сервер %d", f[1] + 1);
  const std::string vrg = f[2] == kAllTargets
                              ? "все ВРГ"
                              : Format("ВРГ %d (адр. %d)", f[2] + 1, AddressOf(targets, f[2]));
  const std::string run = f[3] == kAllTargets ? "все нитки." : Format("н.%d", f[3] + 1);
  if (choices.server) {
    t.target = server + ", " + vrg + ", " + run;
  } else if (choices.vrg) {
    t.target = vrg + ", " + run;
  }
  return t;
}

std::string CommandLabel(const CommandTexts& t) {
  std::string label = t.short_name + " " + t.second_line;
  if (!t.target.empty()) label += "\r\n" + t.target;
  return label;
}

std::string CommandDialogTitle(const CommandFields& f, const CommandTargets& targets) {
  const int code = f[0];
  const std::string& title = CommandTitle(code);
  const std::string server =
      f[1] == kAllTargets ? "Все серверы." : targets.server_labels[f[1] == 0 ? 0 : 1];
  const std::string vrg = f[2] == kAllTargets
                              ? "Все ВРГ."
                              : Format("ВРГ %d (адр. %d).", f[2] + 1, AddressOf(targets, f[2]));
  const std::string run = f[3] == kAllTargets ? "Все нитки." : Format("Нитка %d", f[3] + 1);
  if (code >= 4 && code <= 6) return title + ". " + vrg + " " + run;
  if (code >= 8 && code <= 10) return title + ". " + server + " " + vrg + " " + run;
  return title;
}

CommandRecord CommandRecord::Make(const CommandFields& fields, const CommandTexts& texts) {
  CommandRecord r;
  PutText(r.bytes.data() + kShortNameOffset, texts.short_name);
  PutText(r.bytes.data() + kSecondLineOffset, texts.second_line);
  if (!texts.target.empty()) PutText(r.bytes.data() + kTargetOffset, texts.target);
  const uint8_t n = CommandFieldsToWrite(fields);
  r.bytes[kRecordWriteOffset] = kCommandTable;
  r.bytes[kRecordWriteOffset + 1] = 0;
  r.bytes[kRecordWriteOffset + 2] = n;
  std::copy(fields.begin(), fields.begin() + n, r.bytes.begin() + kRecordWriteOffset + 3);
  return r;
}

CommandTexts CommandRecord::Texts() const {
  return {GetText(bytes.data() + kShortNameOffset), GetText(bytes.data() + kSecondLineOffset),
          GetText(bytes.data() + kTargetOffset)};
}

CommandFields CommandRecord::Fields() const {
  CommandFields f{};
  std::copy(bytes.begin() + kRecordWriteOffset + 3,
            bytes.begin() + kRecordWriteOffset + 3 + kCommandFieldCount, f.begin());
  return f;
}

bool CommandRecord::Sendable() const {
  return Table() == kCommandTable && FirstField() == 0 && FieldCount() >= 1 &&
         FieldCount() <= kCommandFieldCount;
}

}  // namespace kvarta
