// The "Абонент" list of the connection dialogs: the subscribers' names and,
// while the book has room, "Новый абонент", which adds one.
#pragma once

#include <string>

#include "connection/dialog_controls.h"
#include "connection/phone_book.h"

namespace kvarta {

class DialogOpener;
class Host;

inline constexpr const char* kNewSubscriberItem = "Новый абонент";

class SubscriberChoice {
 public:
  SubscriberChoice(Host& host, PhoneBook& book, DialogOpener& opener)
      : host_(host), book_(book), opener_(opener) {}

  // Fills the list from the book and shows the selected subscriber (none
  // when the book is empty).
  void Refill();
  // The user chose entry index. A subscriber becomes the book's selection;
  // "Новый абонент" opens the subscriber dialog on the first free slot and
  // on acceptance adds the entry, selects it and sorts the book; cancelled,
  // the previous choice is shown again. True when the book's selection (or
  // the book) changed.
  bool Choose(int index);

  // The subscriber the list shows, or null.
  const Subscriber* Shown() const;
  // The shown subscriber's phone number ("№ телефона"), empty with none.
  std::string PhoneNumber() const;

  ChoiceList list;

 private:
  Host& host_;
  PhoneBook& book_;
  DialogOpener& opener_;
};

}  // namespace kvarta
