#include "config/server_labels.h"

#include <cstring>

#include "link/config_image.h"
#include "link/gprs_transform.h"
#include "link/table_service.h"
#include "platform/cp1251.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr int kGprs = 22;

std::string FieldText(const ConfigImage& image, int field) {
  const char* p = reinterpret_cast<const char*>(image.Field(kGprs, field));
  return Cp1251ToUtf8(std::string(p, strnlen(p, TableCatalogue(kGprs).field_size)));
}

}  // namespace

void RefreshServerLabels(ControllerLink& link, ConfigImage& image, StatusBar* status,
                         bool check_state, bool read_table, ServerLabels& labels) {
  bool state_checked = !check_state;
  if (check_state) {
    state_checked = ReadTableFields(link, image, FieldRange{7, 22, 1}, status, true) &&
                    !image.TableDestroyed(kGprs);
  }
  bool table_read = !read_table;
  if (state_checked && read_table) {
    table_read = true;
    for (uint8_t first = 0; first < 11 && table_read; first += 4) {
      const uint8_t count = static_cast<uint8_t>(first + 4 <= 11 ? 4 : 11 - first);
      table_read = ReadTableFields(link, image, FieldRange{kGprs, first, count}, status, true);
    }
    if (table_read) DecodeGprsFields(image);
  }
  if (state_checked && table_read) {
    labels.server1 =
        Format("Сервер 1 (%s: %s)  ", FieldText(image, 5).c_str(), FieldText(image, 6).c_str());
    labels.server2 =
        Format("Сервер 2 (%s: %s)  ", FieldText(image, 8).c_str(), FieldText(image, 9).c_str());
  } else {
    labels = ServerLabels{};
  }
}

}  // namespace kvarta
