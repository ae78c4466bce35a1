#include "config/server_labels.h"

#include "link/config_image.h"
#include "link/gprs_transform.h"
#include "link/table_layout.h"
#include "link/table_service.h"
#include "link/whole_table.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr int kGprs = 22;
constexpr int kTableStates = 7;

std::string Text(const ConfigImage& image, std::string_view name) {
  return GetText(image.Table(kGprs), Param(kGprs, name));
}

}  // namespace

void RefreshServerLabels(ControllerLink& link, ConfigImage& image, StatusBar* status,
                         bool check_state, bool read_table, ServerLabels& labels) {
  bool state_checked = !check_state;
  if (check_state) {
    state_checked =
        ReadTableFields(link, image, FieldRange{kTableStates, kGprs, 1}, status, true) &&
        !image.TableDestroyed(kGprs);
  }
  bool table_read = !read_table;
  if (state_checked && read_table) {
    table_read = true;
    for (const FieldRange& chunk : ChunkTable(kGprs, false)) {
      table_read = ReadTableFields(link, image, chunk, status, true);
      if (!table_read) break;
    }
    if (table_read) DecodeGprsFields(image);
  }
  if (state_checked && table_read) {
    labels.server1 = Format("Сервер 1 (%s: %s)  ", Text(image, "server1_ip").c_str(),
                            Text(image, "server1_port").c_str());
    labels.server2 = Format("Сервер 2 (%s: %s)  ", Text(image, "server2_ip").c_str(),
                            Text(image, "server2_port").c_str());
  } else {
    labels = ServerLabels{};
  }
}

}  // namespace kvarta
