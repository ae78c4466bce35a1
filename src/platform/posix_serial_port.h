// Linux serial line: termios2 with arbitrary rates, raw mode, non-blocking reads.
#pragma once

#include <memory>
#include <string>

#include "platform/serial_port.h"

namespace kvarta {

enum class Parity { kNone = 0, kEven = 1, kOdd = 2 };
enum class StopBits { kOne = 0, kOneAndHalf = 1, kTwo = 2 };

// Line settings after the clamping rules of the open call.
struct LineSettings {
  uint32_t rate = 9600;
  int data_bits = 8;
  Parity parity = Parity::kNone;
  StopBits stop_bits = StopBits::kOne;
  bool dtr = true;
  bool rts = false;
};

// Clamps as the open call does: rate to 110..256000, data bits to 4..8 (Linux
// offers 5..8; 4 is stored and opened as 5), unknown parity and stop-bit
// indexes to none and one.
LineSettings ClampLineSettings(uint32_t rate, int data_bits, int parity, int stop_bits, bool dtr,
                               bool rts);

class PosixSerialPort : public SerialPort {
 public:
  ~PosixSerialPort() override;
  PosixSerialPort(const PosixSerialPort&) = delete;
  PosixSerialPort& operator=(const PosixSerialPort&) = delete;

  int Read(uint8_t* buf, size_t n) override;
  bool Write(const uint8_t* buf, size_t n) override;
  bool WaitReadable(int timeout_ms) override;
  void Purge() override;
  bool ClearErrors() override;
  bool SetBaudRate(uint32_t rate) override;
  bool SetDtr(bool on) override;
  bool SetRts(bool on) override;
  void Drain() override;
  uint32_t BaudRate() const override { return settings_.rate; }
  int Descriptor() const override { return fd_; }

  const LineSettings& Settings() const { return settings_; }
  const std::string& Path() const { return path_; }
  void Close();

 private:
  friend std::unique_ptr<PosixSerialPort> OpenComPort(const std::string&, uint32_t, int, int, int,
                                                      int, int, bool, bool);
  PosixSerialPort(int fd, std::string path, LineSettings settings)
      : fd_(fd), path_(std::move(path)), settings_(settings) {}

  int fd_ = -1;
  std::string path_;
  LineSettings settings_;
  bool failed_ = false;  // the line went away (EIO or end of file)
};

// Opens device_path for reading and writing, exclusively where the driver
// allows (and always against a second open by this program: an advisory
// lock), without becoming its controlling terminal, in raw mode with the
// clamped settings. DTR and RTS are set as asked where the device has them.
// Queue sizes are accepted for the callers' sake; Linux sizes its buffers
// itself. Returns nullptr on any failure, leaving nothing open.
std::unique_ptr<PosixSerialPort> OpenComPort(const std::string& device_path, uint32_t rate,
                                             int data_bits, int parity, int stop_bits, int in_queue,
                                             int out_queue, bool dtr, bool rts);

}  // namespace kvarta
