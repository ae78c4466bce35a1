#include "sim/simulator.h"

#include <fcntl.h>
#include <poll.h>
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

constexpr int kPollSliceMs = 10;

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
};

void Simulator::Impl::Schedule(std::vector<uint8_t> bytes, int64_t delay_ns) {
  const int64_t now = RealClock().NowNs();
  const int64_t byte_ns =
      options.pace_baud > 0 ? 10LL * 1000000000LL / static_cast<int64_t>(options.pace_baud) : 0;
  int64_t due = std::max(now + delay_ns, line_free_ns);
  for (uint8_t b : bytes) {
    outgoing.push_back({due, b});
    due += byte_ns;
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
  uint8_t buf[512];
  while (!stop.load()) {
    int timeout = kPollSliceMs;
    {
      std::lock_guard<std::mutex> lock(mu);
      if (!outgoing.empty()) {
        const int64_t wait_ms = (outgoing.front().due_ns - RealClock().NowNs()) / 1000000;
        timeout = static_cast<int>(std::clamp<int64_t>(wait_ms, 0, kPollSliceMs));
      }
    }
    pollfd p{line_fd, POLLIN, 0};
    const int ready = poll(&p, 1, timeout);
    const int64_t now = RealClock().NowNs();
    ssize_t got = 0;
    if (ready > 0 && (p.revents & POLLIN)) got = read(line_fd, buf, sizeof buf);
    if (ready > 0 && got <= 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
      // Nobody on the other side: do not spin on the hang-up.
      std::this_thread::sleep_for(std::chrono::milliseconds(kPollSliceMs));
    }
    std::lock_guard<std::mutex> lock(mu);
    if (got > 0 && RateAccepted()) chain->OnBytes(buf, static_cast<size_t>(got), now);
    chain->Poll(now);
    WriteDue(RealClock().NowNs());
  }
}

bool Simulator::Impl::Start(int fd, bool pty) {
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
  s.Start(master, true);
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
  return s.Start(fd, false);
}

void Simulator::Stop() {
  Impl& s = *impl_;
  if (!s.running) return;
  s.stop = true;
  if (s.thread.joinable()) s.thread.join();
  s.running = false;
  CloseFd(s.line_fd);
  CloseFd(s.slave_keep_fd);
  s.outgoing.clear();
  SaveState();
}

bool Simulator::SaveState() {
  Impl& s = *impl_;
  if (s.options.state_file.empty()) return false;
  std::lock_guard<std::mutex> lock(s.mu);
  return SaveSimState(s.options.state_file, s.controller);
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

const SimulatorOptions& Simulator::Options() const {
  return impl_->options;
}

bool Simulator::StateLoaded() const {
  return impl_->state_loaded;
}

}  // namespace kvarta::sim
