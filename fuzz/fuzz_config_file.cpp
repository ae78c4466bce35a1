// The configuration file loader and the decoding show-config prints: any file
// either loads as its first 2297 bytes or is refused; every parameter of a
// loaded file decodes, a number written back as read leaves the bytes as they
// were, a saved file loads again, and the proposed file name stays a name.
#include <cstring>

#include "config/config_file.h"
#include "fuzz_support.h"
#include "link/table_catalogue.h"
#include "link/table_layout.h"
#include "platform/cp1251.h"

using namespace kvarta;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::ScratchPath("a.cnf");
  fuzz::WriteFile(path, fuzz::AsText(data, size));
  ConfigFileRecord record;
  if (ReadConfigFile(path, record) != ConfigFileLoad::kOk) return 0;
  FUZZ_CHECK(size >= kConfigFileSize);
  FUZZ_CHECK(std::memcmp(record.bytes.data(), data, kConfigFileSize) == 0);

  for (const int t : {0, 3, 4, 9, 20, 21, 22}) {
    const uint8_t* bytes = t == 0 ? record.Identification() : record.Table(t);
    FUZZ_CHECK(bytes != nullptr);
    std::vector<uint8_t> copy(bytes, bytes + TableCatalogue(t).Bytes());
    for (const ParamSpec& p : TableParams(t)) {
      (void)FormatParam(bytes, p);
      (void)ParamInRange(bytes, p);
      (void)GetText(bytes, p);
      (void)GetDateTime(bytes, p);
      SetNumber(copy.data(), p, GetNumber(bytes, p));
    }
    FUZZ_CHECK(std::memcmp(copy.data(), bytes, copy.size()) == 0);
  }
  (void)TimeoutRanges(record.bytes[ConfigFileRecord::kModemOffset]);
  FUZZ_CHECK(Utf8Length(record.ControllerName()) <= ConfigFileRecord::kControllerNameMax);

  const std::string name = ProposedConfigFileName(record, {2026, 12, 7, 10, 30, 0, 0});
  FUZZ_CHECK(!name.empty() && name.find('/') == std::string::npos && name != "." && name != "..");

  const std::string saved = fuzz::ScratchPath("b.cnf");
  FUZZ_CHECK(WriteConfigFile(saved, record) == ConfigFileSave::kOk);
  ConfigFileRecord again;
  FUZZ_CHECK(ReadConfigFile(saved, again) == ConfigFileLoad::kOk);
  FUZZ_CHECK(again.bytes == ConfigFileBytes(record));
  return 0;
}
