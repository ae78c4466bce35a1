#include "sim/simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/clock.h"
#include "sim/controller.h"
#include "sim/controller_device.h"
#include "sim/line_device.h"
#include "sim/line_rate.h"
#include "sim/modem_expecting.h"
#include "sim/sim_state_file.h"

namespace kvarta::sim {
namespace {

// The devices' own timeouts are looked at this often.
constexpr int64_t kPollSliceNs = 10 * 1000000LL;
constexpr uint8_t kBroadcast = 255;
// Answer bytes due within this time of the first one leave together, as from
// a UART's FIFO: the last byte of a burst (and so of every answer) leaves at
// its exact line time, earlier ones at most this much late.
constexpr int64_t kBurstNs = 1000 * 1000LL;

bool MakeRaw(int fd) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return false;
  cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  return tcsetattr(fd, TCSANOW, &t) == 0;
}

bool SetNonBlocking(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

}  // namespace

struct Simulator::Impl {
  explicit Impl(SimulatorOptions opts) : options(std::move(opts)), controller(options.address) {}

  void Schedule(std::vector<uint8_t> bytes, int64_t delay_ns);
  bool RateAccepted() const;
  int64_t ByteNs() const;
  void Receive(const uint8_t* data, size_t n, int64_t now);
  void DeliverDue(int64_t now);
  int64_t NextWakeNs(int64_t now) const;
  void WriteDue(int64_t now);
  void Serve();
  bool Start(int fd, bool pty);

  SimulatorOptions options;
  std::mutex mu;
  Controller controller;
  ControllerDevice* controller_device = nullptr;  // innermost device of chain
  std::unique_ptr<LineDevice> chain;
  bool state_loaded = false;

  int line_fd = -1;        // pty master or the device
  int slave_keep_fd = -1;  // keeps the pty alive while the program reopens it
  int wake_fd = -1;        // Stop wakes the serving thread through it
  bool is_pty = false;
  std::thread thread;
  std::atomic<bool> stop{false};
  bool running = false;

  struct PendingByte {
    int64_t due_ns;
    uint8_t byte;
  };
  std::deque<PendingByte> outgoing;
  int64_t line_free_ns = 0;  // when the last scheduled byte has left the line

  // What the program sent, held until its last byte would have arrived.
  struct PendingChunk {
    int64_t due_ns;
    std::vector<uint8_t> bytes;
  };
  std::deque<PendingChunk> incoming;
  int64_t in_free_ns = 0;  // when the last received byte has arrived
  // Start times of the answers to what the program sent, summed.
  int64_t last_arrival_ns = 0;
  int64_t answer_starts_ns = 0;
};

int64_t Simulator::Impl::ByteNs() const {
  // Ten bits a byte: start, eight data bits, stop.
  return options.pace_baud > 0 ? 10LL * 1000000000LL / static_cast<int64_t>(options.pace_baud) : 0;
}

void Simulator::Impl::Receive(const uint8_t* data, size_t n, int64_t now) {
  const int64_t byte_ns = ByteNs();
  if (byte_ns == 0) {
    chain->OnBytes(data, n, now);
    return;
  }
  // A pseudo-terminal hands the bytes over at once; a line would still be
  // carrying them.
  in_free_ns = std::max(now, in_free_ns) + static_cast<int64_t>(n) * byte_ns;
  incoming.push_back({in_free_ns, std::vector<uint8_t>(data, data + n)});
}

void Simulator::Impl::DeliverDue(int64_t now) {
  while (!incoming.empty() && incoming.front().due_ns <= now) {
    const PendingChunk chunk = std::move(incoming.front());
    incoming.pop_front();
    last_arrival_ns = chunk.due_ns;
    chain->OnBytes(chunk.bytes.data(), chunk.bytes.size(), chunk.due_ns);
  }
}

int64_t Simulator::Impl::NextWakeNs(int64_t now) const {
  int64_t wake = now + kPollSliceNs;
  if (!incoming.empty()) wake = std::min(wake, incoming.front().due_ns);
  if (!outgoing.empty()) {
    // The last byte of the burst that starts with the first waiting one.
    int64_t burst_end = outgoing.front().due_ns;
    for (const PendingByte& b : outgoing) {
      if (b.due_ns > outgoing.front().due_ns + kBurstNs) break;
      burst_end = b.due_ns;
    }
    wake = std::min(wake, burst_end);
  }
  return wake;
}

void Simulator::Impl::Schedule(std::vector<uint8_t> bytes, int64_t delay_ns) {
  const int64_t now = RealClock().NowNs();
  const int64_t byte_ns = ByteNs();
  // Each byte is due when its stop bit has left the line.
  int64_t due = std::max(now + delay_ns, line_free_ns);
  if (last_arrival_ns != 0) {
    answer_starts_ns += due;
    last_arrival_ns = 0;
  }
  for (uint8_t b : bytes) {
    due += byte_ns;
    outgoing.push_back({due, b});
  }
  line_free_ns = due;
}

bool Simulator::Impl::RateAccepted() const {
  if (options.listen_baud == 0 || !is_pty) return true;
  return LineRateOf(line_fd) == options.listen_baud;
}

void Simulator::Impl::WriteDue(int64_t now) {
  std::vector<uint8_t> due;
  while (!outgoing.empty() && outgoing.front().due_ns <= now) {
    due.push_back(outgoing.front().byte);
    outgoing.pop_front();
  }
  size_t done = 0;
  while (done < due.size()) {
    const ssize_t n = write(line_fd, due.data() + done, due.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      break;  // line full or gone: keep the rest for the next pass
    }
  }
  for (size_t i = due.size(); i > done; --i) outgoing.push_front({now, due[i - 1]});
}

void Simulator::Impl::Serve() {
  // Wake-ups at the line times, not up to 50 us later.
  prctl(PR_SET_TIMERSLACK, 1000UL, 0, 0, 0);
  uint8_t buf[512];
  while (!stop.load()) {
    int64_t now = RealClock().NowNs();
    int64_t wake = 0;
    {
      std::lock_guard<std::mutex> lock(mu);
      wake = NextWakeNs(now);
    }
    const int64_t wait_ns = std::max<int64_t>(wake - now, 0);
    const timespec timeout{static_cast<time_t>(wait_ns / 1000000000),
                           static_cast<long>(wait_ns % 1000000000)};
    pollfd p[2] = {{line_fd, POLLIN, 0}, {wake_fd, POLLIN, 0}};
    const int ready = ppoll(p, 2, &timeout, nullptr);
    if (stop.load()) break;
    now = RealClock().NowNs();
    ssize_t got = 0;
    if (ready > 0 && (p[0].revents & POLLIN)) got = read(line_fd, buf, sizeof buf);
    if (ready > 0 && got <= 0 && (p[0].revents & (POLLHUP | POLLERR | POLLNVAL))) {
      // Nobody on the other side: do not spin on the hang-up.
      const timespec pause{0, static_cast<long>(kPollSliceNs)};
      ppoll(&p[1], 1, &pause, nullptr);
    }
    std::lock_guard<std::mutex> lock(mu);
    if (got > 0 && RateAccepted()) Receive(buf, static_cast<size_t>(got), now);
    now = RealClock().NowNs();
    DeliverDue(now);
    chain->Poll(now);
    WriteDue(RealClock().NowNs());
  }
}

bool Simulator::Impl::Start(int fd, bool pty) {
  wake_fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_fd < 0) return false;
  line_fd = fd;
  is_pty = pty;
  stop = false;
  running = true;
  thread = std::thread([this] { Serve(); });
  return true;
}

Simulator::Simulator(SimulatorOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {
  Impl& s = *impl_;
  if (!s.options.state_file.empty())
    s.state_loaded = LoadSimState(s.options.state_file, s.controller);
  for (int t : s.options.destroyed_tables) s.controller.SetDestroyed(t, true);
  if (s.options.diag) s.controller.SetDiagnosticFlags(*s.options.diag);
  if (s.options.session_length >= 0) s.controller.SetSessionLength(s.options.session_length);
  if (s.options.vrg_clocks) {
    for (int i = 0; i < 4; ++i) s.controller.SetVrgClockOffset(i, (*s.options.vrg_clocks)[i]);
  }
  if (s.options.modem_code >= 0)
    s.controller.SetModemType(static_cast<uint8_t>(s.options.modem_code));
  auto device = std::make_unique<ControllerDevice>(s.controller);
  s.controller_device = device.get();
  device->SetFault(s.options.fault);
  s.chain = MakeFront(s.options, std::move(device));
  s.chain->SetOutput([&s](std::vector<uint8_t> bytes, int64_t delay_ns) {
    s.Schedule(std::move(bytes), delay_ns);
  });
}

Simulator::~Simulator() {
  Stop();
}

std::string Simulator::StartOnPty() {
  Impl& s = *impl_;
  if (s.running) return {};
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0) return {};
  char name[128];
  if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0 ||
      !SetNonBlocking(master)) {
    close(master);
    return {};
  }
  // Settings made through the master reach the slave's line discipline.
  MakeRaw(master);
  s.slave_keep_fd = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (s.slave_keep_fd < 0) {
    close(master);
    return {};
  }
  if (!s.Start(master, true)) {
    close(master);
    CloseFd(s.slave_keep_fd);
    return {};
  }
  return name;
}

bool Simulator::StartOnDevice(const std::string& path) {
  Impl& s = *impl_;
  if (s.running) return false;
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return false;
  if (!MakeRaw(fd) || (s.options.listen_baud != 0 && !SetLineRate(fd, s.options.listen_baud))) {
    close(fd);
    return false;
  }
  if (!s.Start(fd, false)) {
    close(fd);
    return false;
  }
  return true;
}

bool Simulator::Stop() {
  Impl& s = *impl_;
  if (!s.running) return true;
  s.stop = true;
  const uint64_t one = 1;
  if (write(s.wake_fd, &one, sizeof one) < 0) {
    // The thread still ends within one poll slice.
  }
  if (s.thread.joinable()) s.thread.join();
  s.running = false;
  CloseFd(s.line_fd);
  CloseFd(s.slave_keep_fd);
  CloseFd(s.wake_fd);
  s.outgoing.clear();
  s.incoming.clear();
  return s.options.state_file.empty() || SaveState();
}

bool Simulator::SaveState() {
  Impl& s = *impl_;
  if (s.options.state_file.empty()) return false;
  std::lock_guard<std::mutex> lock(s.mu);
  return SaveSimState(s.options.state_file, s.controller);
}

void Simulator::TakeConnection(uint8_t address, uint32_t rate) {
  std::lock_guard<std::mutex> lock(impl_->mu);
  if (!impl_->options.address_given && address != kBroadcast) {
    impl_->options.address = address;
    impl_->controller.SetAddress(address);
  }
  if (!impl_->options.listen_baud_given) impl_->options.listen_baud = rate;
}

void Simulator::SetFault(const Fault& fault) {
  std::lock_guard<std::mutex> lock(impl_->mu);
  impl_->controller_device->SetFault(fault);
}

void Simulator::WithController(const std::function<void(Controller&)>& f) {
  std::lock_guard<std::mutex> lock(impl_->mu);
  f(impl_->controller);
}

void Simulator::WithFront(const std::function<void(LineDevice&)>& f) {
  std::lock_guard<std::mutex> lock(impl_->mu);
  f(*impl_->chain);
}

bool Simulator::ModemAnswerReceived() {
  bool received = false;
  WithFront([&received](LineDevice& front) {
    // The modem-expecting controller is the outermost device or right behind
    // the front.
    for (LineDevice* d = &front; d != nullptr && !received; d = d->Inner()) {
      if (auto* expecting = dynamic_cast<ModemExpectingFront*>(d)) {
        received = expecting->AnswerReceived();
      }
    }
  });
  return received;
}

int64_t Simulator::ThreadCpuNs() const {
  Impl& s = *impl_;
  clockid_t id{};
  timespec ts{};
  if (!s.running || pthread_getcpuclockid(s.thread.native_handle(), &id) != 0 ||
      clock_gettime(id, &ts) != 0) {
    return 0;
  }
  return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

int64_t Simulator::AnswerStartsNs() {
  std::lock_guard<std::mutex> lock(impl_->mu);
  return impl_->answer_starts_ns;
}

const SimulatorOptions& Simulator::Options() const {
  return impl_->options;
}

bool Simulator::StateLoaded() const {
  return impl_->state_loaded;
}

}  // namespace kvarta::sim
