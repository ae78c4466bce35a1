// The session file viewer: any file is shown in both views or refused with a
// message; the proposed name for a session record stays inside its folder.
#include "fuzz_support.h"
#include "monitor/session_record.h"
#include "platform/cp1251.h"
#include "support/fakes.h"

using namespace kvarta;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::ScratchPath("session.txt");
  fuzz::WriteFile(path, fuzz::AsText(data, size));
  test::FakeHost host;
  std::string text;
  if (!LoadSessionFile(host, path, text)) {
    FUZZ_CHECK(!host.shown.empty());
    return 0;
  }
  (void)CharacterLines(text);
  (void)HexDumpLines(text);
  (void)FreeBytesText(text.size());

  SessionFileNaming naming;
  naming.software_version = size > 0 ? data[0] : 0;
  naming.modem_code = size > 1 ? data[1] : 0;
  naming.address = size > 2 ? data[2] : 0;
  naming.controller_name = Cp1251ToUtf8(text.substr(0, 18));
  const std::string folder = fuzz::ScratchDir();
  const std::string name = ProposedSessionFileName(folder, naming, {2026, 12, 7, 10, 30, 0, 0});
  FUZZ_CHECK(name.rfind(folder + "/", 0) == 0);
  const std::string leaf = name.substr(folder.size() + 1);
  FUZZ_CHECK(!leaf.empty() && leaf.find('/') == std::string::npos && leaf != "..");
  return 0;
}
