#include "connection/abonents_list_model.h"

#include "connection/abonent_model.h"
#include "connection/dialog_opener.h"
#include "link/message_window.h"
#include "platform/text_format.h"

namespace kvarta {

void AbonentsListModel::OnShow() {
  work = book_;
  accepted_ = false;
  closed_ = false;
  Refill();
}

void AbonentsListModel::Refill() {
  const int count = work.users_num;
  if (count > 1) SortPhoneBook(work, work.sort_prz);
  name_header_enabled = work.sort_prz != 0;
  phone_header_enabled = work.sort_prz != 1;
  cells.clear();
  if (count == 0) {
    row = -1;
    edit_enabled = false;
    delete_enabled = false;
    add_enabled = true;
    return;
  }
  for (int i = 0; i < count; ++i) {
    const Subscriber& s = work.slots[static_cast<size_t>(i)];
    cells.push_back({Format("  %d", i + 1), Format(" %s", s.name.c_str()),
                     Format(" %d", s.contr_adr), Format(" %s", s.phone_code.c_str())});
  }
  row = work.user_index < count ? work.user_index : count - 1;
  edit_enabled = true;
  delete_enabled = true;
  add_enabled = count < kMaxSubscribers;
}

void AbonentsListModel::TakeRowAsSelection() {
  if (row >= 0 && row < work.users_num) work.user_index = static_cast<uint8_t>(row);
}

void AbonentsListModel::OnRowClick(int r) {
  if (r >= 0 && r < work.users_num) row = r;
}

void AbonentsListModel::OnRowDoubleClick(int r) {
  OnRowClick(r);
  OnEdit();
}

void AbonentsListModel::OnEdit() {
  if (!edit_enabled || row < 0 || row >= work.users_num) return;
  AbonentModel dialog(host_, work.slots[static_cast<size_t>(row)], AbonentModel::Mode::kEdit);
  dialog.OnShow();
  if (opener_.OpenAbonent(dialog) && dialog.accepted()) {
    TakeRowAsSelection();
    Refill();
  }
}

void AbonentsListModel::OnAdd() {
  if (!add_enabled || work.users_num >= kMaxSubscribers) return;
  const int slot = work.users_num;
  AbonentModel dialog(host_, work.slots[static_cast<size_t>(slot)], AbonentModel::Mode::kAdd);
  dialog.OnShow();
  if (opener_.OpenAbonent(dialog) && dialog.accepted()) {
    work.user_index = static_cast<uint8_t>(slot);
    ++work.users_num;
    Refill();
  }
}

void AbonentsListModel::OnDelete() {
  if (!delete_enabled || row < 0 || row >= work.users_num) return;
  if (!ShowMessageWindow(host_, kMessageQuestion, "Вы действительно хотите",
                         "удалить этот абонент?")) {
    return;
  }
  const int last = work.users_num - 1;
  for (int i = row; i < last; ++i) {
    work.slots[static_cast<size_t>(i)] = work.slots[static_cast<size_t>(i) + 1];
  }
  work.slots[static_cast<size_t>(last)] = Subscriber{"", 0, 0, ""};
  work.user_index = static_cast<uint8_t>(row > 0 ? row - 1 : 0);
  --work.users_num;
  Refill();
}

void AbonentsListModel::OnNameHeader() {
  TakeRowAsSelection();
  work.sort_prz = 0;
  Refill();
}

void AbonentsListModel::OnPhoneHeader() {
  TakeRowAsSelection();
  work.sort_prz = 1;
  Refill();
}

void AbonentsListModel::Store() {
  TakeRowAsSelection();
  book_ = work;
  accepted_ = true;
  if (save) save();
}

void AbonentsListModel::OnAccept() {
  Store();
  closed_ = true;
}

void AbonentsListModel::OnCancel() {
  OnClose();
}

void AbonentsListModel::OnClose() {
  if (closed_) return;
  closed_ = true;
  if (accepted_ || work == book_) return;
  if (ShowMessageWindow(host_, kMessageQuestion, "Сохранить изменённый список абонентов?", "")) {
    Store();
  }
}

}  // namespace kvarta
