#include "link/modem_type.h"

#include "link/table_layout.h"
#include "platform/text_format.h"

namespace kvarta {

namespace t0 = layout::t0;

std::string ModemTypeName(uint8_t code) {
  switch (code) {
    case t0::kModemSc3000:
      return "SC3000";
    case t0::kModemMc55it:
      return "mc55iT";
    default:
      return "";
  }
}

std::string ModemTypeFileName(uint8_t code) {
  switch (code) {
    case t0::kModemSc3000:
      return "sc3000";
    case t0::kModemMc55it:
      return "mc55it";
    default:
      return Format("modem%u", code);
  }
}

}  // namespace kvarta
