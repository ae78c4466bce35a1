// The phone book: whatever file A held, saving the book loaded from file B
// over it gives a file that loads as B's book; sorting keeps the entries.
#include <algorithm>

#include "connection/phone_book.h"
#include "fuzz_support.h"

using namespace kvarta;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string a, b;
  if (!fuzz::SplitTwo(data, size, a, b)) return 0;
  const std::string path_a = fuzz::ScratchPath("a.ini");
  const std::string path_b = fuzz::ScratchPath("b.ini");
  fuzz::WriteFile(path_a, a);
  fuzz::WriteFile(path_b, b);
  (void)LoadPhoneBook(path_a);
  const PhoneBook wanted = LoadPhoneBook(path_b);
  FUZZ_CHECK(wanted.users_num <= kMaxSubscribers);
  FUZZ_CHECK(SavePhoneBook(path_a, wanted));
  PhoneBook loaded = LoadPhoneBook(path_a);
  FUZZ_CHECK(loaded == wanted);

  const int mode = size % 3;
  SortPhoneBook(loaded, mode);
  FUZZ_CHECK(loaded.users_num == wanted.users_num);
  FUZZ_CHECK((loaded.Selected() != nullptr) == (loaded.users_num > 0));
  auto names = [](const PhoneBook& book) {
    std::vector<std::string> v;
    for (int i = 0; i < book.users_num; ++i)
      v.push_back(book.slots[i].name + '\n' + book.slots[i].phone_code);
    std::sort(v.begin(), v.end());
    return v;
  };
  FUZZ_CHECK(names(loaded) == names(wanted));
  return 0;
}
