// The program-wide connection settings with their phone book, the files they
// live in and the snapshot that tells what changed since the last save.
#pragma once

#include <utility>

#include "connection/connection_settings.h"
#include "connection/program_folders.h"

namespace kvarta {

class SettingsStore {
 public:
  explicit SettingsStore(ProgramFolders folders) : folders_(std::move(folders)) {}

  // Start-up: creates missing folders, loads the settings and the phone
  // book, sorts the book by its own mode and takes the snapshot. False when
  // a folder could not be created (the settings are loaded all the same).
  bool Load(int screen_width, int screen_height);

  // Stores the main window's geometry (the first step of every save).
  void SetWindowGeometry(int width, int height, int left, int top);

  // Writes the phone book when it differs from the snapshot, then the
  // groups of the settings that differ. False when a file could not be
  // written; what failed stays marked as changed.
  bool Save();
  // Writes the phone book alone when it differs from the snapshot (the
  // phone book window was accepted); false when it could not be written,
  // and it then stays marked as changed.
  bool SavePhoneBook();

  ConnectionSettings settings;
  SettingsSnapshot snapshot;
  PhoneBook& phone_book() { return settings.phone_book; }
  const ProgramFolders& folders() const { return folders_; }

 private:
  ProgramFolders folders_;
};

}  // namespace kvarta
