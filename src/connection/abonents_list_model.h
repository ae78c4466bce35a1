// The phone book dialog (TFormAbonents_List): a grid over a working copy of
// the phone book with edit, add, delete and the two sort orders.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "connection/phone_book.h"

namespace kvarta {

class DialogOpener;
class Host;

class AbonentsListModel {
 public:
  static constexpr const char* kTitle = " Список абонентов";
  static constexpr int kWidth = 682;
  static constexpr int kHeight = 560;
  static constexpr std::array<const char*, 4> kHeaders = {"№", "Наименование", "Адрес",
                                                          "№ телефона"};

  AbonentsListModel(Host& host, PhoneBook& book, DialogOpener& opener)
      : host_(host), book_(book), opener_(opener) {}

  // Takes the working copy and fills the grid.
  void OnShow();
  void OnRowClick(int row);
  // Selects the row and acts as "Изменить".
  void OnRowDoubleClick(int row);
  void OnEdit();         // "Изменить"
  void OnAdd();          // "Добавить"
  void OnDelete();       // "Удалить"
  void OnNameHeader();   // "Наименование": sort by name
  void OnPhoneHeader();  // "№ телефона": sort by phone number
  void OnAccept();       // "Принять"
  void OnCancel();       // "Отменить"
  // The window closes by any means but "Принять": offers to keep changes.
  void OnClose();

  bool accepted() const { return accepted_; }

  // Called with the book once the changes are taken, so that they reach
  // the disk at once rather than when the program closes.
  std::function<void()> save;
  bool closed() const { return closed_; }

  PhoneBook work;
  int row = -1;  // the grid's current entry row, -1 with no entries
  std::vector<std::array<std::string, 4>> cells;
  bool name_header_enabled = true;
  bool phone_header_enabled = true;
  bool edit_enabled = false;
  bool add_enabled = true;
  bool delete_enabled = false;

 private:
  void Refill();
  // The grid's row becomes the working selection before the working copy
  // changes, so that sorting keeps it on the same entry.
  void TakeRowAsSelection();
  void Store();

  Host& host_;
  PhoneBook& book_;
  DialogOpener& opener_;
  bool accepted_ = false;
  bool closed_ = false;
};

}  // namespace kvarta
