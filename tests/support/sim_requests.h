// Requests as the simulated controller takes them off the line, for tests that
// talk to sim::Controller directly (no link in between).
#pragma once

#include <string>

#include "support/frames.h"

namespace kvarta::test {

inline const std::string kSimAdminCredentials = "222222      2222";

inline Bytes SimRead(uint8_t address, uint8_t table, uint8_t first, uint8_t count) {
  return WithCrc({0xCC, address, 10, 1, 0, table, first, count});
}

inline Bytes SimWrite(uint8_t address, const std::string& credentials, uint8_t table, uint8_t first,
                      uint8_t count, const Bytes& values) {
  Bytes f = {0xCC, address, static_cast<uint8_t>(26 + values.size()), 2};
  f.insert(f.end(), credentials.begin(), credentials.end());
  f.insert(f.end(), {0, table, first, count});
  f.insert(f.end(), values.begin(), values.end());
  return WithCrc(f);
}

// A write at address 1 by the demo controller's administrator.
inline Bytes SimAdminWrite(uint8_t table, uint8_t first, uint8_t count, const Bytes& values) {
  return SimWrite(1, kSimAdminCredentials, table, first, count, values);
}

// The values of a read answer (behind the 8-byte head, before the CRC).
inline Bytes SimValues(const Bytes& read_answer) {
  return Bytes(read_answer.begin() + 8, read_answer.end() - 2);
}

}  // namespace kvarta::test
