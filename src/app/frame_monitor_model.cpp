#include "app/frame_monitor_model.h"

#include "link/message_window.h"
#include "platform/atomic_file.h"
#include "platform/file_names.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

std::string ValueBytes(const FrameRecord& r) {
  const DecodedFrame& d = r.decoded;
  std::string out;
  for (size_t i = d.values_begin; i < d.values_end && i < r.bytes.size(); ++i) {
    if (!out.empty()) out += ' ';
    out += i < d.secret.size() && d.secret[i] ? std::string("**") : Format("%02X", r.bytes[i]);
  }
  return out;
}

}  // namespace

const char* FrameColumnTitle(FrameColumn column) {
  switch (column) {
    case FrameColumn::kTime:
      return "Время, мс";
    case FrameColumn::kDirection:
      return "";
    case FrameColumn::kStart:
      return "Старт";
    case FrameColumn::kAddress:
      return "Адрес";
    case FrameColumn::kLength:
      return "Длина";
    case FrameColumn::kFunction:
      return "Функция";
    case FrameColumn::kTable:
      return "Табл.";
    case FrameColumn::kFirst:
      return "Поле";
    case FrameColumn::kCount:
      return "Кол.";
    case FrameColumn::kValues:
      return "Значения";
    case FrameColumn::kCrc:
      return "CRC";
    case FrameColumn::kLatency:
      return "Задержка, мс";
    case FrameColumn::kCount_:
      break;
  }
  return "";
}

FrameMonitorRow MakeFrameMonitorRow(const FrameRecord& r) {
  FrameMonitorRow row;
  row.number = r.number;
  row.sent = r.direction == TraceDirection::kSent;
  row.cells.assign(static_cast<size_t>(FrameColumn::kCount_), "");
  auto cell = [&row](FrameColumn c) -> std::string& { return row.cells[static_cast<size_t>(c)]; };
  cell(FrameColumn::kTime) = RecordTimeMs(r);
  cell(FrameColumn::kDirection) = row.sent ? "→" : "←";
  row.hex = RecordBytesText(r, false);
  row.decoded = RecordDecodedText(r, false);
  switch (r.kind) {
    case FrameKind::kModem:
    case FrameKind::kAdapter:
      cell(FrameColumn::kFunction) = r.kind == FrameKind::kModem ? "модем" : "адаптер";
      cell(FrameColumn::kValues) = row.hex;
      return row;
    case FrameKind::kNote:
      cell(FrameColumn::kValues) = r.text;
      row.fault = true;
      return row;
    case FrameKind::kFrame:
      break;
  }
  const DecodedFrame& d = r.decoded;
  if (!d.found) {
    cell(FrameColumn::kValues) = row.hex;
    cell(FrameColumn::kCrc) = CrcVerdictText(d.crc);
    row.fault = true;
    return row;
  }
  cell(FrameColumn::kStart) = Format("%02X", d.start_byte);
  cell(FrameColumn::kAddress) = Format("%u", d.address);
  cell(FrameColumn::kLength) = Format("%u", d.length);
  if (d.has_function) {
    const std::string name = FunctionName(d.function, d.request);
    cell(FrameColumn::kFunction) =
        name.empty() ? Format("%u", d.function) : Format("%u (%s)", d.function, name.c_str());
  }
  if (d.has_range) {
    cell(FrameColumn::kTable) = Format("%u", d.table);
    cell(FrameColumn::kFirst) = Format("%u", d.first);
    cell(FrameColumn::kCount) = Format("%u", d.count);
  }
  if (d.error_answer) {
    cell(FrameColumn::kValues) =
        Format("код ошибки %u, причина %u, таблица %u", d.error_code, d.reason_code, d.error_table);
  } else {
    cell(FrameColumn::kValues) = ValueBytes(r);
  }
  cell(FrameColumn::kCrc) = CrcVerdictText(d.crc);
  cell(FrameColumn::kLatency) = LatencyMs(r.latency_ns);
  row.fault = d.crc != CrcVerdict::kGood || d.error_answer;
  return row;
}

FrameMonitorModel::FrameMonitorModel(FrameLog& log, size_t capacity)
    : log_(log), capacity_(std::max<size_t>(capacity, 1)) {
  for (const FrameRecord& r : log_.records()) Take(r);
  observer_ = log_.AddObserver([this](const FrameRecord& r) {
    if (pending_.size() >= capacity_) pending_.pop_front();
    pending_.push_back(r);
  });
}

FrameMonitorModel::~FrameMonitorModel() {
  log_.RemoveObserver(observer_);
}

void FrameMonitorModel::Take(const FrameRecord& record) {
  if (rows_.size() >= capacity_) {
    rows_.pop_front();
    lines_.pop_front();
  }
  rows_.push_back(MakeFrameMonitorRow(record));
  lines_.push_back(RecordLines(record, false));
}

size_t FrameMonitorModel::Update() {
  if (paused_) return 0;
  const size_t came = pending_.size();
  for (const FrameRecord& r : pending_) Take(r);
  pending_.clear();
  return came;
}

void FrameMonitorModel::Clear() {
  rows_.clear();
  lines_.clear();
  pending_.clear();
}

std::string FrameMonitorModel::StatusText() const {
  std::string text = Format("Кадров: %zu", rows_.size());
  if (!pending_.empty()) text += Format(", ожидают показа: %zu", pending_.size());
  if (paused_) text += " (пауза)";
  return text;
}

std::string FrameMonitorModel::Text() const {
  std::string text;
  for (const auto& lines : lines_) {
    for (const std::string& line : lines) text += line + "\n";
  }
  return text;
}

bool FrameMonitorModel::Save(const std::string& path) const {
  return WriteFileAtomically(path, Text());
}

std::string FrameMonitorModel::ProposedFileName(const LocalDateTime& now) {
  return Format("frames-%02d%02d%02d-%02d%02d%02d.txt", now.year % 100, now.month, now.day,
                now.hour, now.minute, now.second);
}

std::string FrameMonitorModel::SaveAs(Host& host, ConfigFileDialogs& dialogs,
                                      const std::string& folder, const LocalDateTime& now) const {
  const FileDialogRequest request{kFrameMonitorSaveTitle,
                                  "Text Files (*.txt)|*.txt|All Files (*.*)|*.*", folder,
                                  folder + "/" + ProposedFileName(now)};
  std::string path;
  if (!dialogs.ChooseFileToSave(request, path)) return "";
  if (BaseName(path).find('.') == std::string::npos) path += ".txt";
  if (!Save(path)) {
    ShowMessageWindow(host, kMessageError, "Сбой при работе с файлом", path);
    return "";
  }
  return path;
}

}  // namespace kvarta
