// The serial line as the core sees it. The Linux implementation is in
// posix_serial_port.h; tests use scripted fakes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kvarta {

enum class Parity { kNone = 0, kEven = 1, kOdd = 2 };
enum class StopBits { kOne = 0, kOneAndHalf = 1, kTwo = 2 };

// How a line is opened. Every connection of the program uses 8 data bits,
// no parity, one stop bit, DTR on and RTS off; only the rate differs.
struct LineSettings {
  uint32_t rate = 9600;
  int data_bits = 8;
  Parity parity = Parity::kNone;
  StopBits stop_bits = StopBits::kOne;
  bool dtr = true;
  bool rts = false;
};

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Reads up to n waiting bytes without waiting. Returns the count (0 when
  // nothing is waiting) or -1 when the read failed (the port is gone or in error).
  virtual int Read(uint8_t* buf, size_t n) = 0;
  // Writes all n bytes; false on failure.
  virtual bool Write(const uint8_t* buf, size_t n) = 0;
  // Waits at most timeout_ms for input (or a hang-up) without burning a core.
  // Returns true when a Read would not find the line idle.
  virtual bool WaitReadable(int timeout_ms) = 0;
  // Discards pending input and output.
  virtual void Purge() = 0;
  // Clears the error state after a failed transfer.
  virtual bool ClearErrors() = 0;
  virtual bool SetBaudRate(uint32_t rate) = 0;
  virtual bool SetDtr(bool on) = 0;
  virtual bool SetRts(bool on) = 0;
  // Blocks until the output has left the driver (used to time RTS).
  virtual void Drain() {}
  virtual uint32_t BaudRate() const = 0;
  // OS descriptor for handing the open line to a sibling tool; -1 when none.
  virtual int Descriptor() const { return -1; }
};

// Where the program's lines come from: the machine's serial devices, or an
// in-process simulated controller standing in for every one of them.
class SerialPortFactory {
 public:
  virtual ~SerialPortFactory() = default;
  // Opens device_path with settings; nullptr when the line cannot be used.
  virtual std::unique_ptr<SerialPort> Open(const std::string& device_path,
                                           const LineSettings& settings) = 0;
  // Pause after opening before the first exchange, for the line to settle.
  virtual int SettleMs() const = 0;
  // The program is about to reach the controller at address with rate: a
  // simulated controller takes them on, as the demo promises any address.
  virtual void WillConnect(uint8_t /*address*/, uint32_t /*rate*/) {}
};

}  // namespace kvarta
