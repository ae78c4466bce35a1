#include "connection/subscriber_choice.h"

#include "connection/abonent_model.h"
#include "connection/dialog_opener.h"

namespace kvarta {

void SubscriberChoice::Refill() {
  list.items.clear();
  for (int i = 0; i < book_.users_num && i < kMaxSubscribers; ++i) {
    list.items.push_back(book_.slots[static_cast<size_t>(i)].name);
  }
  if (book_.users_num < kMaxSubscribers) list.items.push_back(kNewSubscriberItem);
  list.index = book_.users_num > 0 && book_.user_index < book_.users_num ? book_.user_index : -1;
}

bool SubscriberChoice::Choose(int index) {
  if (index < 0 || index >= static_cast<int>(list.items.size())) return false;
  if (index < book_.users_num) {
    book_.user_index = static_cast<uint8_t>(index);
    list.index = index;
    return true;
  }
  if (book_.users_num >= kMaxSubscribers) return false;
  const int previous = list.index;
  const int slot = book_.users_num;
  AbonentModel dialog(host_, book_.slots[static_cast<size_t>(slot)], AbonentModel::Mode::kAdd);
  dialog.OnShow();
  if (opener_.OpenAbonent(dialog) && dialog.accepted()) {
    book_.user_index = static_cast<uint8_t>(slot);
    ++book_.users_num;
    if (book_.users_num > 1) SortPhoneBook(book_, book_.sort_prz);
    Refill();
    return true;
  }
  list.index = previous < book_.users_num ? previous : -1;
  return false;
}

const Subscriber* SubscriberChoice::Shown() const {
  if (list.index < 0 || list.index >= book_.users_num) return nullptr;
  return &book_.slots[static_cast<size_t>(list.index)];
}

std::string SubscriberChoice::PhoneNumber() const {
  const Subscriber* s = Shown();
  return s ? s->phone_code : std::string();
}

}  // namespace kvarta
