// Linux serial line: termios2 with arbitrary rates, raw mode, non-blocking reads.
#pragma once

#include <memory>
#include <string>

#include "platform/serial_port.h"

namespace kvarta {

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
  friend std::unique_ptr<PosixSerialPort> OpenComPort(const std::string&, const LineSettings&);
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
// Linux sizes its queues itself. Returns nullptr on any failure, leaving
// nothing open.
std::unique_ptr<PosixSerialPort> OpenComPort(const std::string& device_path,
                                             const LineSettings& settings = {});

// The machine's serial devices, with the settle pause a real line needs.
class PosixPortFactory : public SerialPortFactory {
 public:
  static constexpr int kSettleMs = 300;
  std::unique_ptr<SerialPort> Open(const std::string& device_path,
                                   const LineSettings& settings) override {
    return OpenComPort(device_path, settings);
  }
  int SettleMs() const override { return kSettleMs; }
};

// The program-wide factory of real ports.
PosixPortFactory& SystemPorts();

}  // namespace kvarta
