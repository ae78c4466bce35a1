#include "connection/dialog_controls.h"

#include "connection/phone_book.h"

namespace kvarta {

void EditBox::SetText(const std::string& utf8) {
  text = max_chars == 0 ? utf8 : CutChars(utf8, max_chars);
}

}  // namespace kvarta
