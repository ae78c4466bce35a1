#include "link/frame_log.h"

#include <algorithm>

#include "platform/text_format.h"

namespace kvarta {

FrameLog::FrameLog(const Clock& clock, size_t capacity)
    : clock_(clock), capacity_(std::max<size_t>(capacity, 1)), origin_ns_(clock.NowNs()) {}

FrameRecord& FrameLog::Push(TraceDirection direction, FrameKind kind, int64_t at_ns) {
  if (records_.size() >= capacity_) records_.pop_front();
  FrameRecord& r = records_.emplace_back();
  r.number = next_number_++;
  r.time_ns = at_ns - origin_ns_;
  r.direction = direction;
  r.kind = kind;
  return r;
}

void FrameLog::AddFrame(TraceDirection direction, const uint8_t* bytes, size_t n, int64_t at_ns,
                        int64_t latency_ns) {
  FrameRecord& r = Push(direction, FrameKind::kFrame, at_ns);
  r.bytes.assign(bytes, bytes + n);
  r.decoded = DecodeFrame(bytes, n);
  r.latency_ns = latency_ns;
  if (!keep_secrets) {
    // Nothing a log keeps, shows or saves may give a credential away.
    for (size_t i = 0; i < n; ++i) {
      if (r.decoded.secret[i]) r.bytes[i] = 0;
    }
  }
  Notify(r);
}

void FrameLog::AddCommand(FrameKind kind, TraceDirection direction, std::string_view cp1251) {
  FrameRecord& r = Push(direction, kind, clock_.NowNs());
  r.text = keep_secrets ? std::string(cp1251) : HideCommandSecrets(std::string(cp1251));
  Notify(r);
}

void FrameLog::AddNote(std::string utf8) {
  FrameRecord& r = Push(TraceDirection::kReceived, FrameKind::kNote, clock_.NowNs());
  r.text = std::move(utf8);
  Notify(r);
}

int FrameLog::AddObserver(std::function<void(const FrameRecord&)> observer) {
  observers_.emplace_back(next_observer_, std::move(observer));
  return next_observer_++;
}

void FrameLog::RemoveObserver(int id) {
  std::erase_if(observers_, [id](const auto& o) { return o.first == id; });
}

void FrameLog::Notify(const FrameRecord& record) {
  // An observer may remove itself while it is told.
  const auto observers = observers_;
  for (const auto& [id, observer] : observers) observer(record);
}

std::string RecordTimeMs(const FrameRecord& r) {
  return Format("%.3f", static_cast<double>(r.time_ns) / 1e6);
}

std::string LatencyMs(int64_t latency_ns) {
  if (latency_ns < 0) return "";
  return Format("%.1f", static_cast<double>(latency_ns) / 1e6);
}

std::string RecordBytesText(const FrameRecord& r, bool show_secrets) {
  switch (r.kind) {
    case FrameKind::kFrame:
      return FrameHex(r.bytes.data(), r.bytes.size(), r.decoded, show_secrets);
    case FrameKind::kModem:
    case FrameKind::kAdapter:
      // A log that dropped the secrets has already hidden them.
      return CommandText(r.text, show_secrets);
    case FrameKind::kNote:
      break;
  }
  return r.text;
}

std::string RecordDecodedText(const FrameRecord& r, bool show_secrets) {
  switch (r.kind) {
    case FrameKind::kFrame: {
      std::string text = DescribeFrame(r.bytes.data(), r.bytes.size(), r.decoded, show_secrets);
      if (r.latency_ns >= 0) text += ", задержка " + LatencyMs(r.latency_ns) + " мс";
      return text;
    }
    case FrameKind::kModem:
      return "модем: " + RecordBytesText(r, show_secrets);
    case FrameKind::kAdapter:
      return "адаптер: " + RecordBytesText(r, show_secrets);
    case FrameKind::kNote:
      break;
  }
  return r.text;
}

std::vector<std::string> RecordLines(const FrameRecord& r, bool show_secrets) {
  const double ms = static_cast<double>(r.time_ns) / 1e6;
  const char* dir = r.direction == TraceDirection::kSent ? ">" : "<";
  if (r.kind != FrameKind::kFrame) {
    return {Format("%10.3f %s %s", ms, dir, RecordDecodedText(r, show_secrets).c_str())};
  }
  // The decoded line starts with a word, never with a direction mark, so
  // that readers of the hex lines pass over it.
  return {Format("%10.3f %s %s", ms, dir, RecordBytesText(r, show_secrets).c_str()),
          Format("%10s   %s", "", RecordDecodedText(r, show_secrets).c_str())};
}

std::vector<std::string> FrameLogLines(const FrameLog& log, size_t last, bool show_secrets) {
  std::vector<std::string> lines;
  const auto& records = log.records();
  const size_t skip = records.size() > last ? records.size() - last : 0;
  for (size_t i = skip; i < records.size(); ++i) {
    for (std::string& line : RecordLines(records[i], show_secrets))
      lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace kvarta
