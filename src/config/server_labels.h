// The two server labels of the command dialogs, derived from table 22.
#pragma once

#include <string>

namespace kvarta {

struct ControllerLink;
class ConfigImage;
class StatusBar;

struct ServerLabels {
  std::string server1 = "Сервер 1";
  std::string server2 = "Сервер 2";
};

// Recomputes the labels: with check_state, table 22 must be intact (table 7
// field 22 read); with read_table, table 22 is read (and decoded) first.
void RefreshServerLabels(ControllerLink& link, ConfigImage& image, StatusBar* status,
                         bool check_state, bool read_table, ServerLabels& labels);

}  // namespace kvarta
