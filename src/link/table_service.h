// Moving field ranges between the controller and the configuration image:
// read (function 1), write (function 2) and write-only-what-changed.
#pragma once

#include <cstdint>
#include <vector>

namespace kvarta {

struct ControllerLink;
class ConfigImage;
class StatusBar;

struct FieldRange {
  uint8_t table = 0;
  uint8_t first = 0;
  uint8_t count = 0;
  friend bool operator==(const FieldRange&, const FieldRange&) = default;
};

// Reads the range into the image. Interactive: progress in panel 2 of status
// and the retry question after a failure. Silent: neither (but a range echo
// mismatch is still offered for retry).
bool ReadTableFields(ControllerLink& link, ConfigImage& image, FieldRange range, StatusBar* status,
                     bool interactive);

// Writes the range's current image values.
bool WriteTableFields(ControllerLink& link, ConfigImage& image, FieldRange range,
                      StatusBar* status);

// The write requests that bring the controller from snapshot to the image
// for range: none when nothing changed; otherwise by the cost rule, each
// request kept within the write byte limit.
std::vector<FieldRange> PlanChangedWrites(const ConfigImage& image, FieldRange range,
                                          const uint8_t* snapshot);

// Writes only what differs from snapshot (the range's bytes before editing).
bool WriteChangedFields(ControllerLink& link, ConfigImage& image, FieldRange range,
                        const uint8_t* snapshot, StatusBar* status);

}  // namespace kvarta
