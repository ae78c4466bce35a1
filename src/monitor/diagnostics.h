// The controller's self-diagnostic flags (table 17) as lines of text, and
// the window that shows them and can keep re-reading the table
// (TFormOutoControl).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kvarta {

struct ControllerLink;
class ConfigImage;
class HostTimer;
class StatusBar;

inline constexpr int kDiagnosticTable = 17;
inline constexpr size_t kDiagnosticBytes = 140;  // 10 fields of 14 bytes
inline constexpr int kDiagnosticMessageCount = 96;

// Row = group * 8 + bit: 0-47 the server fields, 48-55 byte 0 of a VRG field,
// 56-63 empty, 64-95 the four run bytes. Rows from 48 hold "%d" for the VRG
// and, from 64, a second "%d" for the run.
const std::array<std::string, kDiagnosticMessageCount>& DiagnosticMessages();

// The memo's lines for a table-17 image.
std::vector<std::string> DecodeDiagnostics(const uint8_t* table17);

struct DiagnosticMemoSize {
  int memo_height = 0;
  bool scroll_bar = false;
  int panel_height = 0;  // memo + 8
  // The window is the panel's top plus its height plus 92 high.
  int WindowHeight(int panel_top) const { return panel_top + panel_height + 92; }
};
DiagnosticMemoSize SizeDiagnosticMemo(size_t lines);

// The menu item "Признаки диагностики" (N17Click): reads table 17 with the
// retry question; false (and nothing shown) when that read failed. Then the
// window runs on the image just read.
class MonitorDialogs;
bool ShowDiagnostics(ControllerLink& link, ConfigImage& image, StatusBar* status,
                     MonitorDialogs& dialogs);

class OutoControlModel {
 public:
  static constexpr const char* kCaption = "Признаки диагностики";
  static constexpr int kWidth = 590;
  static constexpr int kTimerMs = 500;

  // image: table 17 has just been read into it.
  OutoControlModel(ControllerLink& link, ConfigImage& image);

  // The window's timer (interval kTimerMs), given before OnShow.
  void SetTimer(HostTimer* timer) { timer_ = timer; }
  void OnShow();
  // The timer's tick: one quiet re-read while refreshing.
  void OnTimer();
  // BitBtn2: refreshing on or off.
  void OnRefreshSwitch();
  // "Выход".
  void OnExit();
  // Closing the window by any way: the timer stops.
  void OnClose();

  bool closed() const { return closed_; }
  bool refreshing() const { return refreshing_; }
  // How many times the memo was filled (a repaint only follows a change).
  int decode_count() const { return decode_count_; }

  std::vector<std::string> lines;  // Memo1
  DiagnosticMemoSize size;
  std::string refresh_caption;  // BitBtn2
  std::function<void()> on_change;

 private:
  void Decode();
  void Changed();

  ControllerLink& link_;
  ConfigImage& image_;
  HostTimer* timer_ = nullptr;
  std::array<uint8_t, kDiagnosticBytes> copy_{};
  bool refreshing_ = false;
  bool closed_ = false;
  int decode_count_ = 0;
};

}  // namespace kvarta
