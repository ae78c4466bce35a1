#include "connection/settings_store.h"

namespace kvarta {

bool SettingsStore::Load(int screen_width, int screen_height) {
  const bool folders_ok = CreateProgramFolders(folders_);
  settings = LoadConnectionSettings(folders_.SettingsPath(), screen_width, screen_height);
  settings.phone_book = LoadPhoneBook(folders_.PhoneBookPath());
  SortPhoneBook(settings.phone_book, settings.phone_book.sort_prz);
  snapshot = settings;
  return folders_ok;
}

void SettingsStore::SetWindowGeometry(int width, int height, int left, int top) {
  settings.curr.form_width = width;
  settings.curr.form_height = height;
  settings.curr.form_left = left;
  settings.curr.form_top = top;
}

bool SettingsStore::SavePhoneBook() {
  if (settings.phone_book == snapshot.phone_book) return true;
  if (!kvarta::SavePhoneBook(folders_.PhoneBookPath(), settings.phone_book)) return false;
  snapshot.phone_book = settings.phone_book;
  return true;
}

bool SettingsStore::Save() {
  bool book_ok = true;
  if (settings.phone_book != snapshot.phone_book) {
    book_ok = kvarta::SavePhoneBook(folders_.PhoneBookPath(), settings.phone_book);
  }
  const PhoneBook saved_book = snapshot.phone_book;
  const bool settings_ok = SaveConnectionSettings(folders_.SettingsPath(), settings, snapshot);
  // Keep an unsaved phone book marked as changed so that the next save
  // tries again.
  if (!book_ok) snapshot.phone_book = saved_book;
  return book_ok && settings_ok;
}

}  // namespace kvarta
