// The answer receiver through the real read path (ReadTableFields ->
// SendRequest -> ExchangeFrame) on the fake line and clock: whatever the line
// brings, an answer is taken only when it is one whole, intact answer to the
// request, and the image changes only then and only in the range read.
#include <cstring>
#include <memory>

#include "fuzz_support.h"
#include "link/config_image.h"
#include "link/controller_link.h"
#include "link/crc16.h"
#include "link/table_catalogue.h"
#include "link/table_service.h"
#include "support/fakes.h"

using namespace kvarta;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  // Bytes 0-2 choose the range, byte 3 the pace of the line; the rest is
  // what the line brings after each request.
  const int table = data[0] % kTableCount;
  const TableDescriptor& d = TableCatalogue(table);
  if (!d.Exists() || d.field_size <= 0) return 0;
  const int first = data[1] % d.field_count;
  const int most = std::min(d.field_count - first, kMaxReadBytes / d.field_size);
  if (most <= 0) return 0;
  const FieldRange range{static_cast<uint8_t>(table), static_cast<uint8_t>(first),
                         static_cast<uint8_t>(1 + data[2] % most)};
  const int64_t gap_ms = data[3] & 0x0F;
  const std::vector<uint8_t> line(data + 4, data + size);

  test::FakeClock clock;
  test::FakeHost host;  // no scripted answers: every retry question is "no"
  ControllerLink link(host, clock);
  auto port = std::make_unique<test::FakeSerialPort>(clock);
  test::FakeSerialPort* fake = port.get();
  link.port = std::move(port);
  link.address = 1;
  link.attempts = (data[3] & 0x10) ? 2 : 1;
  fake->on_write = [&](const std::vector<uint8_t>&) { fake->DeliverAfterMs(line, 3, gap_ms); };

  ConfigImage image;
  for (size_t i = 0; i < kConfigImageSize; ++i) image.Data()[i] = static_cast<uint8_t>(i * 7 + 1);
  std::vector<uint8_t> before(image.Data(), image.Data() + kConfigImageSize);

  const bool ok = ReadTableFields(link, image, range, nullptr, false);
  const size_t offset = static_cast<size_t>(image.Field(table, first) - image.Data());
  const size_t values = static_cast<size_t>(range.count * d.field_size);
  if (!ok) {
    // (An answer about another range fails the read with result 0: the
    // exchange itself went well.)
    FUZZ_CHECK(std::memcmp(before.data(), image.Data(), before.size()) == 0);
    return 0;
  }
  const uint8_t* a = link.answer.data();
  const size_t length = 8 + values + 2;
  FUZZ_CHECK(link.result_code == 0);
  FUZZ_CHECK(a[0] == kAnswerStart && a[1] == link.address && a[2] == length);
  FUZZ_CHECK(a[3] == (1 | 0x80));
  FUZZ_CHECK(Crc16(a, length) == 0);
  FUZZ_CHECK(a[5] == range.table && a[6] == range.first && a[7] == range.count);
  // The answer came off the line in one piece, not glued from fragments.
  bool whole = false;
  for (size_t i = 0; !whole && i + length <= line.size(); ++i) {
    whole = std::memcmp(line.data() + i, a, length) == 0;
  }
  FUZZ_CHECK(whole);
  FUZZ_CHECK(std::memcmp(image.Data() + offset, a + 8, values) == 0);
  FUZZ_CHECK(std::memcmp(before.data(), image.Data(), offset) == 0);
  FUZZ_CHECK(std::memcmp(before.data() + offset + values, image.Data() + offset + values,
                         before.size() - offset - values) == 0);
  return 0;
}
