// The byte substitution that table 22 (GPRS parameters) passes through on the
// wire when table 0 field 12 is 0.
#pragma once

#include <array>
#include <cstdint>

namespace kvarta {

class ConfigImage;

// S and its inverse, kept as data.
extern const std::array<uint8_t, 256> kGprsSubstitution;
extern const std::array<uint8_t, 256> kGprsSubstitutionInverse;

// True when the image's identification says table 22 travels substituted.
bool GprsTransformActive(const ConfigImage& image);
// Apply S (before writing) / S^-1 (after reading) to the 11 fields of table 22
// when the transform is active; nothing otherwise.
void EncodeGprsFields(ConfigImage& image);
void DecodeGprsFields(ConfigImage& image);

}  // namespace kvarta
