#include "config/ident_model.h"

#include "config/identification.h"

namespace kvarta {

void IdentModel::OnShow() {
  const IdentificationView v = DecodeIdentification(t0_, full_);
  struct Source {
    Item item;
    const char* caption;
    const IdentificationValue& value;
    bool always;  // shown in reduced mode too
  };
  const Source sources[kItemCount] = {
      {kTypeCode, "Код типа контроллера", v.type_code, true},
      {kHardwareVersion, "Версия аппаратной части", v.hardware_version, false},
      {kSoftwareVersion, "Версия программного обеспечения", v.software_version, true},
      {kCreationDate, "Дата создания программного обеспечения", v.creation_date, false},
      {kByteOrder, "Порядок байтов в многобайтовых значениях", v.byte_order, false},
      {kDifferentSpeeds, "Работа на разных скоростях обмена", v.different_speeds, false},
      {kAddressFixed, "Возможность изменения адреса контроллера", v.address_fixed, false},
      {kProtocolVersion, "Версия протокола связи с верхним уровнем", v.protocol_version, false},
      {kModemType, "Тип требуемого модема", v.modem_type, true},
      {kDestroyed, "Состояние таблиц", v.destroyed, false},
  };
  rows.clear();
  for (const Source& s : sources) {
    Row row;
    row.item = s.item;
    row.caption = s.caption;
    row.caption_enabled = full_ || s.always;
    if (row.caption_enabled) {
      row.value = s.value.text;
      row.red = s.value.red;
    }
    rows.push_back(row);
  }
}

}  // namespace kvarta
