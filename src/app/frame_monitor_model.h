// "Монитор обмена": the frames of the session as a table that grows while
// the program talks to the line, with pause, clear and save as text. The
// window only shows the rows; what a row says, what pause and clear keep and
// what the saved file holds is decided here. Credentials are never shown:
// the session's log has dropped them already, and the rows hide their
// places with "*".
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "link/frame_log.h"
#include "link/host.h"

namespace kvarta {

inline constexpr const char* kFrameMonitorTitle = "Монитор обмена";
inline constexpr const char* kFrameMonitorSaveTitle = "Сохранение обмена в файл";
// More than the session's log keeps, so that a long session can be scrolled
// back while the monitor is open.
inline constexpr size_t kFrameMonitorRows = 5000;

// The table's columns, left to right.
enum class FrameColumn {
  kTime,       // ms since the session began
  kDirection,  // "→" sent, "←" received
  kStart,
  kAddress,
  kLength,
  kFunction,
  kTable,
  kFirst,
  kCount,
  kValues,  // value bytes; for commands their text
  kCrc,
  kLatency,  // answers: ms from the end of the request to the first byte
  kCount_,
};
const char* FrameColumnTitle(FrameColumn column);

struct FrameMonitorRow {
  uint64_t number = 0;
  std::vector<std::string> cells;  // one per FrameColumn
  std::string hex;                 // the bytes as on the line
  std::string decoded;             // the whole decoded line
  bool sent = false;
  bool fault = false;  // a CRC that does not hold, an incomplete frame, an error answer
};

FrameMonitorRow MakeFrameMonitorRow(const FrameRecord& record);

class FrameMonitorModel {
 public:
  // Shows what the log holds already, then follows it.
  explicit FrameMonitorModel(FrameLog& log, size_t capacity = kFrameMonitorRows);
  ~FrameMonitorModel();
  FrameMonitorModel(const FrameMonitorModel&) = delete;
  FrameMonitorModel& operator=(const FrameMonitorModel&) = delete;

  // Moves what arrived since the last call into the rows (the oldest go
  // beyond the capacity), unless paused. Returns how many rows came.
  size_t Update();
  const std::deque<FrameMonitorRow>& rows() const { return rows_; }

  // A paused monitor keeps what arrives (up to its capacity) and shows it
  // when resumed.
  void SetPaused(bool paused) { paused_ = paused; }
  bool paused() const { return paused_; }
  // Empties the monitor only: the session's log (the service report's
  // frames) keeps its records.
  void Clear();

  // "Кадров: 12, ожидают показа: 3 (пауза)".
  std::string StatusText() const;
  // The rows as text, two lines a frame as the tool's --trace prints them.
  std::string Text() const;
  // Replaces path atomically with Text().
  bool Save(const std::string& path) const;
  // "frames-YYMMDD-HHMMSS.txt".
  static std::string ProposedFileName(const LocalDateTime& now);
  // "Сохранить в файле": the save dialog in folder (".txt" added to a name
  // without one), then the file; a failure is said in the message window.
  // Returns the file written, "" when cancelled or failed.
  std::string SaveAs(Host& host, ConfigFileDialogs& dialogs, const std::string& folder,
                     const LocalDateTime& now) const;

 private:
  void Take(const FrameRecord& record);

  FrameLog& log_;
  size_t capacity_;
  int observer_ = 0;
  bool paused_ = false;
  std::deque<FrameRecord> pending_;
  std::deque<FrameMonitorRow> rows_;
  // The text lines of the rows, kept beside them for saving.
  std::deque<std::vector<std::string>> lines_;
};

}  // namespace kvarta
