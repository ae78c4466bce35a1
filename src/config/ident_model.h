// The identification window (TFormIdent): table 0 decoded item by item, full
// or reduced (a configuration made in the program knows only type, software
// version and modem type).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvarta {

class IdentModel {
 public:
  static constexpr const char* kTitle = "Параметры идентификации контроллера";
  static constexpr int kWidth = 492;
  static constexpr int kHeight = 450;
  static constexpr const char* kExitButton = "Выход";

  // Which item a row shows.
  enum Item {
    kTypeCode,
    kHardwareVersion,
    kSoftwareVersion,
    kCreationDate,
    kByteOrder,
    kDifferentSpeeds,
    kAddressFixed,
    kProtocolVersion,
    kModemType,
    kDestroyed,
    kItemCount
  };

  struct Row {
    Item item = kTypeCode;
    std::string caption;
    bool caption_enabled = true;  // greyed in reduced mode
    std::string value;            // empty in reduced mode
    bool red = false;
  };

  // t0: the 18 identification bytes (image table 0 or a record's area).
  IdentModel(const uint8_t* t0, bool full) : t0_(t0), full_(full) {}

  void OnShow();
  bool full() const { return full_; }
  const Row& row(Item item) const { return rows[item]; }

  std::vector<Row> rows;  // indexed by Item

 private:
  const uint8_t* t0_;
  bool full_;
};

}  // namespace kvarta
