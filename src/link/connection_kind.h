#pragma once

namespace kvarta {

// How the serial port reaches the controller (Conn_Prz of the settings).
enum class ConnectionKind : int { kDirect = 0, kPhone = 1, kAdapter = 2 };

}  // namespace kvarta
