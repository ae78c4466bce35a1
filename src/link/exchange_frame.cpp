// One transaction on the wire: preambles and request out, the answer assembled
// byte by byte under the answer and inter-byte timeouts.
#include <algorithm>
#include <vector>

#include "link/controller_link.h"
#include "link/crc16.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr int64_t kPreWritePauseNs = MsToNs(2);
constexpr int64_t kMaxWaitSliceNs = MsToNs(10);
constexpr size_t kReadChunk = 64;
constexpr int64_t kReadAheadMarginNs = MsToNs(1);

// Pumps the host and turns a pending Esc into the abort flag. True when the
// exchange must stop (the flag is consumed).
bool PollAbort(ControllerLink& link) {
  link.host.PumpMessages();
  if (link.host.TakeEscape()) link.abort_flag = true;
  if (!link.abort_flag) return false;
  link.abort_flag = false;
  link.result_code = kResultAborted;
  return true;
}

// Whether an address byte that is not the link's own still belongs to the
// answer: the controller answers from its new address after a write of its
// address field (table 3, field 0), and any controller answers a broadcast.
bool AcceptsForeignAddress(const ControllerLink& link, uint8_t byte) {
  const auto& rq = link.request;
  const bool address_write = rq[3] == 2 && rq[21] == 3 && rq[22] == 0 && byte == rq[24];
  return address_write || rq[1] == kBroadcastAddress;
}

// Wait slice towards target_ns: whole milliseconds, 1..10.
int SliceMs(int64_t now_ns, int64_t target_ns) {
  int64_t left = std::clamp<int64_t>(target_ns - now_ns, 0, kMaxWaitSliceNs);
  const int ms = static_cast<int>((left + MsToNs(1) - 1) / MsToNs(1));
  return std::max(ms, 1);
}

class AnswerAssembler {
 public:
  explicit AnswerAssembler(ControllerLink& link) : link_(link) {}

  // Feeds one received byte. Returns true when the answer is complete.
  bool Take(uint8_t byte) {
    auto& answer = link_.answer;
    answer[std::min<size_t>(accepted_, kFrameSize - 1)] = byte;
    switch (accepted_) {
      case 0:
        if (byte == kAnswerStart) accepted_ = 1;
        break;
      case 1:
        if (byte == link_.address) {
          accepted_ = 2;
        } else if (AcceptsForeignAddress(link_, byte)) {
          link_.address = byte;
          accepted_ = 2;
        } else if (byte == kAnswerStart) {
          answer[0] = kAnswerStart;  // a repeated start character starts again
        } else {
          accepted_ = 0;
        }
        break;
      case 2:
        accepted_ = byte >= 6 ? 3 : 0;
        break;
      default:
        // The length byte is at most 255, so the last stored byte is 254.
        if (accepted_ < static_cast<size_t>(kFrameSize)) ++accepted_;
        break;
    }
    return accepted_ >= 3 && accepted_ >= answer[2];
  }

  size_t accepted() const { return accepted_; }

 private:
  ControllerLink& link_;
  size_t accepted_ = 0;
};

void LogByte(ControllerLink& link, uint8_t byte) {
  link.session_log[link.log_position] = byte;
  link.log_position = (link.log_position + 1) % kSessionLogSize;
}

}  // namespace

bool ExchangeFrame(ControllerLink& link, uint32_t length) {
  if (PollAbort(link)) return false;
  // Only a modem speaks NO CARRIER; on a cable the same bytes are data.
  const bool modem = link.connection_kind == ConnectionKind::kPhone;
  if (modem && link.CarrierLost()) {
    link.result_code = kResultCarrierLost;
    return false;
  }
  SerialPort* port = link.port.get();
  if (port == nullptr) {
    // Nothing to write to: the same outcome as a refused write.
    link.result_code = kResultWriteFailed;
    return false;
  }
  port->Purge();

  length = std::min<uint32_t>(length, kFrameSize);
  std::vector<uint8_t> out(link.preamble_count, 0xFF);
  out.insert(out.end(), link.request.begin(), link.request.begin() + length);

  link.clock.SleepUntilNs(link.clock.NowNs() + kPreWritePauseNs);
  if (!port->Write(out.data(), out.size())) {
    port->ClearErrors();
    link.result_code = kResultWriteFailed;
    return false;
  }
  // The write returns once the driver holds the bytes: the request ends on
  // the line after its line time at the link's rate.
  const int64_t written_ns = link.clock.NowNs();
  const int64_t request_end_ns =
      written_ns + (link.baud_rate > 0
                        ? static_cast<int64_t>(out.size()) * 10 * 1000000000LL / link.baud_rate
                        : 0);
  link.frame_log.AddFrame(TraceDirection::kSent, out.data(), out.size(), written_ns);

  const int64_t deadline_ns = link.clock.NowNs() + MsToNs(link.answer_timeout_ms);
  const int64_t gap_ns = MsToNs(link.inter_byte_timeout_ms);
  int64_t last_byte_ns = link.clock.NowNs();
  link.log_position = 0;
  link.result_code = kResultOk;

  AnswerAssembler assembler(link);
  std::vector<uint8_t> received;
  int64_t first_byte_ns = -1;
  bool complete = false;
  bool ready_but_empty = false;  // the last wait said readable yet nothing came
  uint8_t chunk[kReadChunk];

  while (link.result_code == kResultOk && !complete) {
    if (PollAbort(link)) break;

    int got = port->Read(chunk, sizeof chunk);
    if (got < 0) {
      // A line that is gone (a pulled adapter, a closed far end) will not
      // answer: say so now rather than after the whole answer timeout.
      if (!port->ClearErrors()) {
        link.result_code = kResultReadFailed;
        break;
      }
      got = 0;
    }
    if (got > 0 && first_byte_ns < 0) first_byte_ns = link.clock.NowNs();
    for (int i = 0; i < got; ++i) {
      const uint8_t byte = chunk[i];
      received.push_back(byte);
      LogByte(link, byte);
      if (modem && link.CarrierLost()) {
        link.result_code = kResultCarrierLost;
        break;
      }
      if (assembler.Take(byte)) {
        complete = true;  // anything after the answer is purged below
        break;
      }
      last_byte_ns = link.clock.NowNs();
    }
    if (link.result_code != kResultOk || complete) break;

    const int64_t now = link.clock.NowNs();
    const bool answer_started = assembler.accepted() >= 2;
    if (!answer_started && now >= deadline_ns) {
      link.result_code = kResultNoAnswer;
      break;
    }
    if (answer_started && now - last_byte_ns > gap_ns) {
      link.result_code = kResultIncomplete;
      break;
    }
    if (got > 0) {
      ready_but_empty = false;
      // A full chunk: more may be waiting already. Otherwise, once the length
      // is known, the rest cannot arrive sooner than the line carries it, so
      // sleep until then instead of waking at every byte.
      if (got == static_cast<int>(sizeof chunk)) continue;
      if (assembler.accepted() >= 3 && link.baud_rate > 0) {
        const int64_t rest =
            static_cast<int64_t>(link.answer[2]) - static_cast<int64_t>(assembler.accepted());
        const int64_t line_ns = rest * 10 * 1000000000LL / link.baud_rate;
        // The last stretch is waited for on the port, so that the answer's
        // end is seen as soon as it is there.
        const int64_t until = std::min(
            {now + line_ns - kReadAheadMarginNs, now + kMaxWaitSliceNs, last_byte_ns + gap_ns + 1});
        if (until > now) link.clock.SleepNs(until - now);
      }
      continue;
    }
    // Nothing came: wait for the line instead of spinning. A port that claims
    // to be readable but yields nothing (error, hang-up) is slept on instead.
    const int64_t target = answer_started ? last_byte_ns + gap_ns + 1 : deadline_ns;
    const int slice = SliceMs(now, target);
    if (ready_but_empty) {
      link.clock.SleepNs(MsToNs(slice));
      ready_but_empty = false;
    } else {
      ready_but_empty = port->WaitReadable(slice);
    }
  }

  if (!received.empty()) {
    // Stamped when the answer ended, as the sent frame is when it was written.
    link.frame_log.AddFrame(TraceDirection::kReceived, received.data(), received.size(),
                            link.clock.NowNs(),
                            std::max<int64_t>(first_byte_ns - request_end_ns, 0));
  } else if (link.result_code == kResultNoAnswer) {
    link.frame_log.AddNote(Format("нет ответа за %u мс", link.answer_timeout_ms));
  }
  if (link.result_code == kResultAborted || link.result_code == kResultCarrierLost) return false;

  if (link.result_code == kResultOk && Crc16(link.answer.data(), link.answer[2]) != 0) {
    link.result_code = kResultBadCrc;
  }
  if (link.result_code == kResultOk && link.answer[3] != (link.request[3] | 0x80)) {
    link.result_code = kResultErrorAnswer;
    link.result_messages[kResultErrorAnswer].clear();
    InterpretErrorAnswer(link, &link.answer[4]);
  }
  port->Purge();
  return link.result_code == kResultOk;
}

}  // namespace kvarta
