#include "link/table_service.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "link/config_image.h"
#include "link/controller_link.h"
#include "link/function_codes.h"
#include "link/host.h"
#include "link/message_window.h"
#include "link/result_messages.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr int kStatusPanel = 2;
// Answer bytes: 5..7 echo the range, read values start at 8; the frame ends
// with two CRC bytes.
constexpr int kEchoOffset = 5;
constexpr int kValuesOffset = 8;
constexpr int kCrcBytes = 2;
// Frame overhead of one write request, range head included.
constexpr int kWriteRequestOverhead = 26;

const char kReadFailed[] = "Не выполнено чтение из таблицы %d.";
const char kWriteFailed[] = "Не выполнена запись в таблицу %d.";
const char kReadMismatch[] = "Несоответствие запрошенных и переданных данных";
const char kWriteMismatch[] = "Несоответствие заголовка ответа заголовку запроса на запись.";
const char kBadTable[] = "Неверно задан номер таблицы (%d)";
const char kBadLength[] = "Неправильная длина запроса";

void SetStatus(StatusBar* status, const std::string& text) {
  if (!status) return;
  status->SetPanelText(kStatusPanel, text);
  status->Repaint();
}

std::string ProgressText(const char* many, const char* one, FieldRange range) {
  if (range.count > 1) return Format(many, range.table, range.first, range.first + range.count - 1);
  return Format(one, range.table, range.first);
}

// The range lies inside an existing table and its values fit one request of
// at most limit bytes. A range that does not is a caller's mistake: it is
// refused before anything is sent, so no answer can be copied past the table.
bool RangeValid(FieldRange range, int limit) {
  const TableDescriptor& d = TableCatalogue(range.table);
  if (!d.Exists() || range.count == 0) return false;
  if (range.first + range.count > d.field_count) return false;
  return range.count * d.field_size <= limit;
}

// Refuses an invalid range: result 2 ("refused before sending") so that a
// false return never carries a stale success code, and a message when asked.
bool RefuseRange(ControllerLink& link, FieldRange range, const char* failed, bool show) {
  link.result_code = kResultUnknownFunction;
  if (show) {
    const std::string reason = TableCatalogue(range.table).Exists()
                                   ? std::string(kBadLength)
                                   : Format(kBadTable, range.table);
    ShowMessageWindow(link.host, kMessageError, Format(failed, range.table), reason);
  }
  return false;
}

bool EchoMatches(const ControllerLink& link, FieldRange range) {
  return link.answer[kEchoOffset] == range.table && link.answer[kEchoOffset + 1] == range.first &&
         link.answer[kEchoOffset + 2] == range.count;
}

bool AskRetry(ControllerLink& link, const char* failed, FieldRange range,
              const std::string& reason) {
  return ShowMessageWindow(link.host, kMessageRetry, Format(failed, range.table), reason);
}

bool ExchangeEndedByUser(const ControllerLink& link) {
  return link.result_code == kResultAborted || link.result_code == kResultCarrierLost;
}

// Fields of one write request of a table with field_size bytes per field.
int MaxWriteFields(int field_size) {
  return std::max(1, kMaxWriteBytes / field_size);
}

int RequestsFor(int count, int field_size) {
  const int per_request = MaxWriteFields(field_size);
  return (count + per_request - 1) / per_request;
}

// Cost in frame bytes of writing count fields, split as PlanChangedWrites splits.
int WriteCost(int count, int field_size) {
  return count * field_size + kWriteRequestOverhead * RequestsFor(count, field_size);
}

void AppendSplit(std::vector<FieldRange>& plan, uint8_t table, int first, int count,
                 int field_size) {
  const int per_request = MaxWriteFields(field_size);
  while (count > 0) {
    const int n = std::min(count, per_request);
    plan.push_back({table, static_cast<uint8_t>(first), static_cast<uint8_t>(n)});
    first += n;
    count -= n;
  }
}

}  // namespace

bool ReadTableFields(ControllerLink& link, ConfigImage& image, FieldRange range, StatusBar* status,
                     bool interactive) {
  if (!RangeValid(range, kMaxReadBytes)) return RefuseRange(link, range, kReadFailed, interactive);
  const int size = TableCatalogue(range.table).field_size;
  const int byte_length = range.count * size;
  uint8_t* target = image.Field(range.table, range.first);
  const uint8_t head[3] = {range.table, range.first, range.count};
  StatusBar* progress = interactive ? status : nullptr;

  for (;;) {
    SetStatus(progress, ProgressText("Чтение из таблицы %d (поля %d-%d)",
                                     "Чтение из таблицы %d (поле %d)", range));
    const bool sent = SendRequest(link, kReadFunction, head, sizeof head, 0);
    SetStatus(progress, "");
    if (!sent) {
      if (!interactive || ExchangeEndedByUser(link)) return false;
      if (AskRetry(link, kReadFailed, range, FormatResultMessage(link))) continue;
      return false;
    }
    // An answer of another length would leave stale bytes where values
    // should be: it is as wrong as an answer about another range.
    const bool length_ok = link.answer[2] == kValuesOffset + byte_length + kCrcBytes;
    if (!EchoMatches(link, range) || !length_ok) {
      SetStatus(progress, "");
      if (AskRetry(link, kReadFailed, range, kReadMismatch)) continue;
      return false;
    }
    std::memcpy(target, link.answer.data() + kValuesOffset, static_cast<size_t>(byte_length));
    SetStatus(progress, "");
    return true;
  }
}

bool WriteTableFields(ControllerLink& link, ConfigImage& image, FieldRange range,
                      StatusBar* status) {
  if (!RangeValid(range, kMaxWriteBytes)) return RefuseRange(link, range, kWriteFailed, true);
  const int size = TableCatalogue(range.table).field_size;
  const int byte_length = range.count * size;
  std::array<uint8_t, 3 + kMaxWriteBytes> data{};
  data[0] = range.table;
  data[1] = range.first;
  data[2] = range.count;
  std::memcpy(data.data() + 3, image.Field(range.table, range.first),
              static_cast<size_t>(byte_length));

  for (;;) {
    SetStatus(status, ProgressText("Запись в таблицу %d (поля %d-%d)",
                                   "Запись в таблицу %d (поле %d)", range));
    const bool sent =
        SendRequest(link, kWriteFunction, data.data(), static_cast<uint32_t>(byte_length + 3), 0);
    SetStatus(status, "");
    if (!sent) {
      if (ExchangeEndedByUser(link)) return false;
      if (AskRetry(link, kWriteFailed, range, FormatResultMessage(link))) continue;
      return false;
    }
    if (!EchoMatches(link, range)) {
      if (AskRetry(link, kWriteFailed, range, kWriteMismatch)) continue;
      return false;
    }
    return true;
  }
}

std::vector<FieldRange> PlanChangedWrites(const ConfigImage& image, FieldRange range,
                                          const uint8_t* snapshot) {
  std::vector<FieldRange> plan;
  const TableDescriptor& d = TableCatalogue(range.table);
  if (!d.Exists() || range.count == 0 || range.first + range.count > d.field_count) return plan;
  const int size = d.field_size;
  const uint8_t* current = image.Field(range.table, range.first);

  std::vector<bool> changed(range.count);
  int lo = -1;
  int hi = -1;
  for (int i = 0; i < range.count; ++i) {
    const size_t at = static_cast<size_t>(i) * size;
    changed[i] = std::memcmp(current + at, snapshot + at, static_cast<size_t>(size)) != 0;
    if (changed[i]) {
      if (lo < 0) lo = i;
      hi = i;
    }
  }
  if (lo < 0) return plan;

  const int n = hi - lo + 1;
  const bool all_changed =
      std::all_of(changed.begin() + lo, changed.begin() + hi + 1, [](bool c) { return c; });
  std::vector<std::pair<int, int>> runs;  // (first, count), relative to range.first
  if (n > 2 && !all_changed) {
    for (int i = lo; i <= hi;) {
      if (!changed[i]) {
        ++i;
        continue;
      }
      int j = i;
      while (j <= hi && changed[j]) ++j;
      runs.emplace_back(i, j - i);
      i = j;
    }
    int runs_cost = 0;
    for (const auto& [first, count] : runs) runs_cost += WriteCost(count, size);
    if (runs_cost > WriteCost(n, size)) runs.clear();
  }
  if (runs.empty()) runs.emplace_back(lo, n);

  for (const auto& [first, count] : runs) {
    AppendSplit(plan, range.table, range.first + first, count, size);
  }
  return plan;
}

bool WriteChangedFields(ControllerLink& link, ConfigImage& image, FieldRange range,
                        const uint8_t* snapshot, StatusBar* status) {
  const TableDescriptor& d = TableCatalogue(range.table);
  if (!d.Exists() || range.count == 0 || range.first + range.count > d.field_count) {
    return RefuseRange(link, range, kWriteFailed, true);
  }
  bool ok = true;
  for (const FieldRange& part : PlanChangedWrites(image, range, snapshot)) {
    ok = WriteTableFields(link, image, part, status);
    if (!ok) break;
  }
  return ok;
}

}  // namespace kvarta
