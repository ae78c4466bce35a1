// The frames of the session as they crossed the line, newest last, in a
// bounded ring: what the frame monitor shows, the tool's --trace prints and
// the service report ends with. The link feeds it after each transfer, so
// keeping it costs a copy per frame and nothing while bytes arrive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "link/frame_decoder.h"
#include "platform/clock.h"

namespace kvarta {

// Direction of a traced frame.
enum class TraceDirection { kSent, kReceived };

enum class FrameKind {
  kFrame,    // a controller protocol frame
  kModem,    // a modem command or answer, as text
  kAdapter,  // a line adapter command or answer, as text
  kNote,     // what the link noticed (no answer at all)
};

struct FrameRecord {
  uint64_t number = 0;  // 1, 2, ... since the log began
  int64_t time_ns = 0;  // since the log began
  TraceDirection direction = TraceDirection::kSent;
  FrameKind kind = FrameKind::kFrame;
  // Frames: the bytes as on the line; credential bytes are zeros unless the
  // log keeps secrets (decoded.secret marks them either way).
  std::vector<uint8_t> bytes;
  DecodedFrame decoded;
  // Answers: from the end of the request on the line to the first answer
  // byte; -1 when not known.
  int64_t latency_ns = -1;
  std::string text;  // commands: code page 1251 as sent; notes: UTF-8
};

inline constexpr size_t kFrameLogCapacity = 500;

class FrameLog {
 public:
  explicit FrameLog(const Clock& clock, size_t capacity = kFrameLogCapacity);

  // A frame sent or received at at_ns (monotonic clock).
  void AddFrame(TraceDirection direction, const uint8_t* bytes, size_t n, int64_t at_ns,
                int64_t latency_ns = -1);
  // A modem or adapter command (kSent) or answer (kReceived), now.
  void AddCommand(FrameKind kind, TraceDirection direction, std::string_view cp1251);
  void AddNote(std::string utf8);

  // Oldest first; at most the capacity.
  const std::deque<FrameRecord>& records() const { return records_; }
  uint64_t total() const { return next_number_ - 1; }
  void Clear() { records_.clear(); }

  // The tool's --trace-secrets: credentials are kept (and may be shown).
  bool keep_secrets = false;

  // Observers see every record as it is added; the id removes one again.
  int AddObserver(std::function<void(const FrameRecord&)> observer);
  void RemoveObserver(int id);

 private:
  FrameRecord& Push(TraceDirection direction, FrameKind kind, int64_t at_ns);
  void Notify(const FrameRecord& record);

  const Clock& clock_;
  size_t capacity_;
  int64_t origin_ns_;
  uint64_t next_number_ = 1;
  std::deque<FrameRecord> records_;
  std::vector<std::pair<int, std::function<void(const FrameRecord&)>>> observers_;
  int next_observer_ = 1;
};

// "12.345": the record's time in ms with three decimals.
std::string RecordTimeMs(const FrameRecord& r);
// The line's bytes in hex ("**" for credentials unless show_secrets); for
// commands and notes their text.
std::string RecordBytesText(const FrameRecord& r, bool show_secrets);
// The decoded fields of a frame, with the answer's latency; for commands
// "модем: ..." / "адаптер: ...", for notes the note.
std::string RecordDecodedText(const FrameRecord& r, bool show_secrets);
// "3.2": a latency in ms with one decimal; "" when not known.
std::string LatencyMs(int64_t latency_ns);

// The records as text, two lines per frame ("time > hex" and the decoded
// line below it), one per command or note; the last `last` records.
std::vector<std::string> FrameLogLines(const FrameLog& log, size_t last, bool show_secrets);
// The two lines (or one) of a record as FrameLogLines gives them.
std::vector<std::string> RecordLines(const FrameRecord& r, bool show_secrets);

}  // namespace kvarta
