// Damage done to the simulated controller's answers on request (Fault).
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "sim/simulator.h"

namespace kvarta::sim {

struct FaultedAnswer {
  std::vector<uint8_t> bytes;  // empty = nothing is sent
  int64_t delay_ns = 0;        // before the first byte
};

// The error answer the controller gives to request: start 0x33, address,
// length 9, the request's function code, error, reason, table, CRC.
std::vector<uint8_t> MakeErrorAnswer(uint8_t address, uint8_t function, uint8_t error,
                                     uint8_t reason, uint8_t table);

// Applies fault to the complete answer frame given to request. kErrorAnswer
// replaces the answer; the caller decides whether the request is carried out.
FaultedAnswer ApplyFault(const Fault& fault, const std::vector<uint8_t>& request,
                         const std::vector<uint8_t>& answer, std::minstd_rand& rng);

}  // namespace kvarta::sim
