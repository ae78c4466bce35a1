// Connection settings: whatever file A held, saving the settings loaded from
// file B over it gives a file that loads as B's settings.
#include "connection/connection_settings.h"
#include "fuzz_support.h"

using namespace kvarta;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string a, b;
  if (!fuzz::SplitTwo(data, size, a, b)) return 0;
  const std::string path_a = fuzz::ScratchPath("a.ini");
  const std::string path_b = fuzz::ScratchPath("b.ini");
  fuzz::WriteFile(path_a, a);
  fuzz::WriteFile(path_b, b);
  SettingsSnapshot snapshot = LoadConnectionSettings(path_a, 1280, 1024);
  const ConnectionSettings wanted = LoadConnectionSettings(path_b, 1280, 1024);
  FUZZ_CHECK(SaveConnectionSettings(path_a, wanted, snapshot));
  // The phone book lives in a file of its own.
  ConnectionSettings loaded = LoadConnectionSettings(path_a, 1280, 1024);
  loaded.phone_book = wanted.phone_book;
  FUZZ_CHECK(loaded == wanted);
  return 0;
}
