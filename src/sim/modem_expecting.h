// A controller that talks to a modem: before it serves frames it sends its
// modem initialisation command (the one the program's modem imitation waits
// for) and waits for the verbal OK. Bytes from the line before that are not
// frames to it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/line_device.h"
#include "sim/simulator.h"

namespace kvarta::sim {

class ModemExpectingFront : public LineDevice {
 public:
  ModemExpectingFront(const ExpectModemScript& script, std::unique_ptr<LineDevice> inner);

  LineDevice* Inner() override { return inner_.get(); }
  void OnBytes(const uint8_t* data, size_t n, int64_t now_ns) override;
  void Poll(int64_t now_ns) override;

  bool AnswerReceived() const { return answered_; }
  int Sends() const { return sends_; }
  // The bytes of one send of the initialisation command.
  std::vector<uint8_t> Command() const;

 private:
  ExpectModemScript script_;
  std::unique_ptr<LineDevice> inner_;
  bool started_ = false;
  int64_t next_send_ns_ = 0;
  int sends_ = 0;
  bool answered_ = false;
  std::string tail_;  // the last bytes received, as long as the answer
};

}  // namespace kvarta::sim
