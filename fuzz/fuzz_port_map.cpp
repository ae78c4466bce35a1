// The port map file and the --port names: a path for every port, taken from
// one line of the map (trimmed) or the default.
#include <string>

#include "fuzz_support.h"
#include "platform/port_map.h"

using namespace kvarta;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int n = data[0];
  const std::string_view rest = fuzz::AsText(data + 1, size - 1);
  fuzz::WriteFile(fuzz::ScratchPath(kPortMapFileName), rest);
  const std::string path = ComPortPath(n, fuzz::ScratchDir());
  FUZZ_CHECK((n < 1) == path.empty());
  FUZZ_CHECK(path.find('\n') == std::string::npos);
  FUZZ_CHECK(path.empty() || (path.front() != ' ' && path.back() != ' '));
  FUZZ_CHECK(path == "/dev/ttyS" + std::to_string(n - 1) || n < 1 ||
             rest.find(path) != std::string_view::npos);

  const int parsed = ParseComName(std::string(rest));
  FUZZ_CHECK(parsed >= 0 && parsed <= 255);
  if (parsed > 0) FUZZ_CHECK(ParseComName("com" + std::to_string(parsed)) == parsed);
  return 0;
}
