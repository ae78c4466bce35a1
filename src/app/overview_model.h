// What the main window's client area shows: the connected controller at a
// glance (identification, connection, write access, destroyed tables, VRGs
// and servers), or that there is no connection and how to make one. Built
// from what the session already knows; nothing is read for it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/connection_kind.h"

namespace kvarta {

class ConfigImage;
struct ServerLabels;
struct Subscriber;

inline constexpr const char* kOverviewNoConnection = "Нет связи с контроллером";
inline constexpr const char* kOverviewConnectButton = "Связаться с контроллером";
// The menu entry the button stands for.
inline constexpr const char* kOverviewTableStateButton = "Состояние таблиц параметров конфигурации";
inline constexpr const char* kWriteAccessGrantedText = "разрешена";
inline constexpr const char* kWriteAccessRefusedText = "не разрешена: неверный код или пароль";

struct OverviewInputs {
  bool connected = false;  // a controller is identified on this connection
  // Tables 0 (identification), 3 (name) and 7 (table states) as last read.
  const ConfigImage* image = nullptr;
  // The line: in use when connected, else as the settings give it.
  ConnectionKind kind = ConnectionKind::kDirect;
  int com = 0;
  std::string device;  // the device path COMn stands for
  uint32_t rate = 0;
  unsigned address = 0;
  const Subscriber* subscriber = nullptr;  // phone connections
  bool write_access = false;
  // Result code of the write-access test and its text, when it failed.
  uint32_t write_access_result = 0;
  std::string write_access_failure;
  const uint8_t* vrg_params = nullptr;  // VrgParamsCopy, 104 bytes
  unsigned server_count = 1;
  const ServerLabels* server_labels = nullptr;
};

struct OverviewLine {
  std::string label;
  std::string value;
  bool alert = false;  // shown in red
};

struct OverviewSection {
  std::string title;
  std::vector<OverviewLine> lines;
};

struct OverviewModel {
  bool connected = false;
  std::string headline;
  std::string subline;
  std::vector<OverviewSection> sections;
  bool offer_connect = false;  // kOverviewConnectButton: what "Связь с другим устройством" does
  bool offer_table_state = false;  // kOverviewTableStateButton: the table-state window

  // The first line called label in any section; nullptr when there is none.
  const OverviewLine* Line(std::string_view label) const;
};

OverviewModel BuildOverview(const OverviewInputs& in);

// The tables the controller reports destroyed: table 7's states when they
// agree with the identification's destroyed table, else that table alone.
std::vector<int> DestroyedTables(const ConfigImage& image);

}  // namespace kvarta
