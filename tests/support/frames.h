// Building and printing controller frames in tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "link/crc16.h"

namespace kvarta::test {

using Bytes = std::vector<uint8_t>;

// Appends the CRC (low byte first) to a frame whose length byte is already set.
inline Bytes WithCrc(Bytes frame) {
  const uint16_t crc = Crc16(frame.data(), frame.size());
  frame.push_back(static_cast<uint8_t>(crc & 0xFF));
  frame.push_back(static_cast<uint8_t>(crc >> 8));
  return frame;
}

// A whole answer: 33, address, length, function byte, status, body, CRC.
// For a normal answer pass the request's function code OR 0x80.
inline Bytes MakeAnswer(uint8_t address, uint8_t function_byte, uint8_t status,
                        const Bytes& body = {}) {
  Bytes frame = {0x33, address, static_cast<uint8_t>(body.size() + 7), function_byte, status};
  frame.insert(frame.end(), body.begin(), body.end());
  return WithCrc(frame);
}

// An error answer: byte 3 is the function code without bit 7, then error
// code, reason code and table number.
inline Bytes MakeErrorAnswer(uint8_t address, uint8_t function_code, uint8_t error,
                             uint8_t reason = 0, uint8_t table = 0) {
  return MakeAnswer(address, function_code, error, {reason, table});
}

// A request frame as the link builds it: CC, address, length, code, body, CRC.
inline Bytes MakeRequest(uint8_t address, uint8_t function_code, const Bytes& body) {
  Bytes frame = {0xCC, address, static_cast<uint8_t>(body.size() + 6), function_code};
  frame.insert(frame.end(), body.begin(), body.end());
  return WithCrc(frame);
}

// "CC 01 0A ..." for failure messages.
inline std::string Hex(const uint8_t* bytes, size_t n) {
  std::string out;
  char buf[4];
  for (size_t i = 0; i < n; ++i) {
    std::snprintf(buf, sizeof buf, "%02X", bytes[i]);
    if (i) out += ' ';
    out += buf;
  }
  return out;
}

inline std::string Hex(const Bytes& bytes) {
  return Hex(bytes.data(), bytes.size());
}

// Concatenation, for answers behind noise or split deliveries.
inline Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace kvarta::test
