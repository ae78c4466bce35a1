// The GPRS window (TFormInter_Par) over table 22 in plain text: access
// point, user, password, connection type and the two servers.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/editor_controls.h"

namespace kvarta {

class Host;
struct ParamSpec;

inline constexpr int kGprsTableSize = 550;
inline constexpr int kGprsFieldSize = 50;
inline constexpr size_t kGprsTextMax = 49;

class InterParModel {
 public:
  static constexpr const char* kTitle = " Параметры работы в Интернете с использованием GPRS";
  static constexpr int kWidth = 674;
  static constexpr int kHeight = 420;
  static constexpr uint32_t kDisabledColor = 0xD3D3D3;

  enum Box {
    kApn,
    kUser,
    kPassword,
    kConnectionType,
    kServer1Ip,
    kServer1Port,
    kServer2Ip,
    kServer2Port,
    kBoxCount
  };

  // table22: the caller's 550 bytes (plain), replaced on confirmation.
  InterParModel(Host& host, uint8_t* table22, uint8_t server_count, EditorMode mode);

  std::string ConfirmText() const { return ConfirmCaption(mode_); }
  // The table parameter each box edits.
  static const ParamSpec& BoxParam(int box);
  // The connection-type box takes digits, Latin letters, '_', backspace (8),
  // '%' and '\'' only.
  static bool ConnectionTypeKeyAllowed(int code);
  static bool ConnectionTypeAllowed(std::string_view text);

  void OnShow();
  void OnAccept();  // "Записать в устройство" / "Принять"
  void OnCancel();  // "Отменить"

  std::array<EditControl, kBoxCount> boxes;
  bool server2_enabled = true;  // the two server-2 boxes and their labels

  EditorMode mode() const { return mode_; }
  bool changed() const { return changed_; }
  bool closed() const { return closed_; }

 private:
  uint8_t* table_;
  uint8_t server_count_;
  EditorMode mode_;
  std::array<uint8_t, kGprsTableSize> work_{};
  bool changed_ = false;
  bool closed_ = false;
};

}  // namespace kvarta
