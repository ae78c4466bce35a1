#include "config/identification.h"

#include "platform/text_format.h"

namespace kvarta {
namespace {

std::string TwoDigitsOrStars(unsigned v, bool valid) {
  return valid ? Format("%02u", v) : "**";
}

}  // namespace

std::string ModemTypeName(uint8_t code) {
  switch (code) {
    case 0:
      return "SC3000";
    case 1:
      return "mc55iT";
    default:
      return "";
  }
}

std::string ModemTypeFileName(uint8_t code) {
  switch (code) {
    case 0:
      return "sc3000";
    case 1:
      return "mc55it";
    default:
      return "";
  }
}

IdentificationView DecodeIdentification(const uint8_t* t0, bool full) {
  IdentificationView v;
  v.full = full;
  v.type_code.text = Format("%02u", t0[1]);
  v.software_version.text = Format("%u", t0[3]);
  const std::string modem = ModemTypeName(t0[17]);
  v.modem_type = modem.empty() ? IdentificationValue{"?", true} : IdentificationValue{modem, false};
  if (!full) return v;

  v.destroyed = t0[0] == 0 ? IdentificationValue{"Разрушенных таблиц нет", false}
                           : IdentificationValue{Format("Разрушена таблица %u", t0[0]), true};
  v.hardware_version.text = Format("%u", t0[2]);
  const std::string year = TwoDigitsOrStars(t0[4], t0[4] <= 99);
  const std::string month = TwoDigitsOrStars(t0[5], t0[5] >= 1 && t0[5] <= 12);
  const std::string day = TwoDigitsOrStars(t0[6], t0[6] >= 1 && t0[6] <= 31);
  const std::string hour = TwoDigitsOrStars(t0[7], t0[7] < 24);
  const std::string minute = TwoDigitsOrStars(t0[8], t0[8] < 60);
  const std::string second = TwoDigitsOrStars(t0[9], t0[9] < 60);
  v.creation_date.text = Format("%s.%s.%s  %s:%s:%s", day.c_str(), month.c_str(), year.c_str(),
                                hour.c_str(), minute.c_str(), second.c_str());
  switch (t0[10]) {
    case 0:
      v.byte_order.text = "Мл. адрес - ст. байт";
      break;
    case 1:
      v.byte_order.text = "Мл. адрес - мл. байт";
      break;
    default:
      v.byte_order.text = " ? ";
      break;
  }
  v.different_speeds.text = t0[11] == 0 ? "Нет" : "Есть";
  v.address_fixed.text = t0[13] == 0 ? "Есть" : Format("Нет. Адрес = %u", t0[13]);
  v.protocol_version.text = Format("%u.%u.%u", t0[14], t0[15], t0[16]);
  return v;
}

}  // namespace kvarta
