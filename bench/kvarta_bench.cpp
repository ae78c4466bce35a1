// kvarta-bench: the real exchange code against the simulated controller
// pacing both directions at the line rate, compared with what the line
// allows at best (every byte both ways at 10 bits, plus the pauses the
// protocol mandates).
#include <pthread.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/whole_configuration.h"
#include "connection/connector.h"
#include "link/config_image.h"
#include "link/controller_link.h"
#include "link/table_service.h"
#include "link/whole_table.h"
#include "platform/text_format.h"
#include "sim/embedded_simulator.h"

namespace kvarta::bench {
namespace {

// Pause before every request, and the one after a whole-configuration run
// that lets the user see the full progress bar.
constexpr double kPreRequestPauseMs = 2.0;
constexpr double kConfigPauseMs = 500.0;

class QuietHost : public Host {
 public:
  bool ShowMessage(const MessageWindowModel&) override { return false; }
};

// The configuration runs' windows and session, without a screen.
class NoWindows : public ConfigDialogOpener, public ConfigurationSession {
 public:
  bool ChooseFileToOpen(const FileDialogRequest&, std::string&) override { return false; }
  bool ChooseFileToSave(const FileDialogRequest&, std::string&) override { return false; }
  void OpenTableInfo(TableInfoModel&) override {}
  void OpenAccess(AccessModel&) override {}
  void OpenUsPass(UsPassModel&) override {}
  void OpenChangeAccess(ChangeAccessModel&) override {}
  void OpenAvtKey(AvtKeyModel&) override {}
  void OpenIdent(IdentModel&) override {}
  void ShowWait(const WaitModel&) override {}
  void RepaintWait(const WaitModel&) override {}
  void CloseWait() override {}

  void SetServerCount(uint8_t) override {}
  void ControllerAddressChanged(uint8_t) override {}
  void SetVrgParamsCopy(const uint8_t*) override {}
  void BuildCommandMenus() override {}
  void SetKeepAliveInterval(int) override {}
  bool WriteAccessGranted() const override { return true; }
  void SetServerLabels(const ServerLabels&) override {}
  void RefreshMainMenu() override {}
  void StartMessageTimer() override {}
};

bool ReadWholeConfiguration(ControllerLink& link, ConfigImage& image) {
  NoWindows windows;
  ConfigContext ctx{link.host, link.clock, link, image, nullptr, windows, windows, ""};
  WaitModel progress(WaitModel::Mode::kReading);
  return ReadConfiguration(ctx, progress);
}

// Writes back what was read: every configuration table but the users and
// the key (which need their windows).
bool WriteWholeConfiguration(ControllerLink& link, ConfigImage& image) {
  NoWindows windows;
  ConfigContext ctx{link.host, link.clock, link, image, nullptr, windows, windows, ""};
  TableWritePlan plan = TableWritePlan::FromImage(image);
  for (int t : {3, 9, 20, 21, 22}) plan.selected[t] = 1;
  return WriteChosenTables(ctx, plan);
}

int64_t ThreadCpuNs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

struct Case {
  std::string name;
  // Runs the exchanges once; false when one failed.
  std::function<bool(ControllerLink&, ConfigImage&)> run;
  bool silent = false;  // a line that never answers: only the CPU counts
  // Extra time the model allows beyond the bytes and pauses (mandated waits).
  double extra_model_ms = 0;
};

struct Result {
  std::string name;
  uint32_t rate = 0;
  int runs = 0;
  int requests = 0;
  size_t bytes_out = 0;
  size_t bytes_in = 0;
  double model_ms = 0;
  double turnaround_ms = 0;  // the simulator's, included in the model
  double median_ms = 0;
  double ratio = 0;
  double cpu_share = 0;      // the program's exchange thread, of one core
  double sim_cpu_share = 0;  // the simulator's thread, of one core
  bool ok = true;
};

std::vector<Case> AllCases() {
  auto read_table = [](int t) {
    return [t](ControllerLink& link, ConfigImage& image) {
      return ReadWholeTable(link, image, t, nullptr);
    };
  };
  std::vector<Case> cases;
  cases.push_back({"identify", [](ControllerLink& link, ConfigImage& image) {
                     return ReadTableFields(link, image, FieldRange{0, 0, 18}, nullptr, false);
                   }});
  for (int t : {3, 4, 19, 22}) cases.push_back({Format("read-%d", t), read_table(t)});
  cases.push_back({"read-config", ReadWholeConfiguration, false, kConfigPauseMs});
  cases.push_back({"write-config",
                   [](ControllerLink& link, ConfigImage& image) {
                     return ReadWholeConfiguration(link, image) &&
                            WriteWholeConfiguration(link, image);
                   },
                   false, 3 * kConfigPauseMs});
  cases.push_back({"silent-5s",
                   [](ControllerLink& link, ConfigImage& image) {
                     link.answer_timeout_ms = 5000;
                     ReadTableFields(link, image, FieldRange{0, 0, 1}, nullptr, false);
                     return true;
                   },
                   true});
  return cases;
}

Result Measure(const Case& c, uint32_t rate, int runs) {
  Result r;
  r.name = c.name;
  r.rate = rate;
  r.runs = runs;
  sim::SimulatorOptions options;
  options.pace_baud = rate;
  if (c.silent) options.fault.kind = sim::FaultKind::kSilence;
  sim::SimulatorPortFactory ports(options);
  if (!ports.Start()) {
    r.ok = false;
    return r;
  }
  QuietHost host;
  ControllerLink link(host, RealClock());
  Connector connector(link, ports);
  ConnectionParams params;
  params.line.rate = rate;
  params.preambles = 5;
  params.attempts = 1;
  params.inter_byte_timeout_ms = 100;
  params.answer_timeout_ms = 2000;
  if (!connector.Open(params)) {
    r.ok = false;
    return r;
  }
  // The demo adjuster: the write cases need write access.
  link.SetCredentials("111111", "1111");
  size_t out = 0, in = 0;
  int requests = 0;
  // When each request would have arrived over the line: written, plus its
  // line time. The simulator's turnaround is counted from there to its
  // answer's start, the pseudo-terminal's own delivery included.
  const int64_t byte_ns = 10LL * 1000000000LL / rate;
  int64_t arrivals_ns = 0;
  link.frame_log.AddObserver([&](const FrameRecord& r) {
    if (r.kind != FrameKind::kFrame) return;
    const size_t n = r.bytes.size();
    if (r.direction == TraceDirection::kSent) {
      out += n;
      ++requests;
      arrivals_ns += RealClock().NowNs() + static_cast<int64_t>(n) * byte_ns;
    } else {
      in += n;
    }
  });
  ConfigImage image;
  std::vector<double> times;
  std::vector<double> turnarounds;
  int64_t cpu_ns = 0;
  int64_t wall_ns = 0;
  const int64_t sim_cpu_before = ports.simulator().ThreadCpuNs();
  for (int i = 0; i < runs; ++i) {
    out = in = 0;
    requests = 0;
    const int64_t starts0 = ports.simulator().AnswerStartsNs();
    arrivals_ns = 0;
    const int64_t cpu0 = ThreadCpuNs();
    const int64_t t0 = RealClock().NowNs();
    r.ok = c.run(link, image) && r.ok;
    const int64_t t1 = RealClock().NowNs();
    cpu_ns += ThreadCpuNs() - cpu0;
    wall_ns += t1 - t0;
    times.push_back(static_cast<double>(t1 - t0) / 1e6);
    const int64_t starts = ports.simulator().AnswerStartsNs() - starts0;
    turnarounds.push_back(c.silent ? 0 : static_cast<double>(starts - arrivals_ns) / 1e6);
  }
  const int64_t sim_cpu = ports.simulator().ThreadCpuNs() - sim_cpu_before;
  std::sort(times.begin(), times.end());
  r.median_ms = times[times.size() / 2];
  r.requests = requests;
  r.bytes_out = out;
  r.bytes_in = in;
  const double byte_ms = 10.0 * 1000.0 / rate;
  std::sort(turnarounds.begin(), turnarounds.end());
  r.turnaround_ms = turnarounds[turnarounds.size() / 2];
  r.model_ms = static_cast<double>(out + in) * byte_ms + requests * kPreRequestPauseMs +
               r.turnaround_ms + c.extra_model_ms;
  if (c.silent) r.model_ms = 0;
  r.ratio = r.model_ms > 0 ? r.median_ms / r.model_ms : 0;
  r.cpu_share = wall_ns > 0 ? static_cast<double>(cpu_ns) / static_cast<double>(wall_ns) : 0;
  r.sim_cpu_share = wall_ns > 0 ? static_cast<double>(sim_cpu) / static_cast<double>(wall_ns) : 0;
  return r;
}

void PrintTable(const std::vector<Result>& results) {
  std::printf("%-10s %7s %5s %7s %7s %8s %10s %10s %6s %6s %6s\n", "case", "rate", "req", "out",
              "in", "turn ms", "model ms", "median ms", "ratio", "cpu %", "sim %");
  for (const Result& r : results) {
    std::printf("%-10s %7u %5d %7zu %7zu %8.3f %10.2f %10.2f %6.3f %6.2f %6.2f%s\n", r.name.c_str(),
                r.rate, r.requests, r.bytes_out, r.bytes_in, r.turnaround_ms, r.model_ms,
                r.median_ms, r.ratio, 100 * r.cpu_share, 100 * r.sim_cpu_share,
                r.ok ? "" : "  FAILED");
  }
}

void PrintJson(const std::vector<Result>& results) {
  std::printf("{\"results\": [");
  for (size_t i = 0; i < results.size(); ++i) {
    const Result& r = results[i];
    std::printf(
        "%s\n  {\"case\": \"%s\", \"rate\": %u, \"runs\": %d, \"requests\": %d, \"bytes_out\": "
        "%zu, \"bytes_in\": %zu, \"turnaround_ms\": %.3f, \"model_ms\": %.3f, \"median_ms\": %.3f, "
        "\"ratio\": %.4f, "
        "\"cpu_share\": %.4f, \"sim_cpu_share\": %.4f, \"ok\": %s}",
        i ? "," : "", r.name.c_str(), r.rate, r.runs, r.requests, r.bytes_out, r.bytes_in,
        r.turnaround_ms, r.model_ms, r.median_ms, r.ratio, r.cpu_share, r.sim_cpu_share,
        r.ok ? "true" : "false");
  }
  std::printf("\n]}\n");
}

const char kUsage[] =
    "usage: kvarta-bench [--case NAME]... [--rate N]... [--runs N] [--json]\n"
    "  cases: identify, read-3, read-4, read-19, read-22, read-config, write-config\n"
    "         (reads the configuration, then writes it back), silent-5s (default: all)\n"
    "  rates: default 9600, 115200 and 230400 bit/s; runs: default 5\n";

}  // namespace
}  // namespace kvarta::bench

int main(int argc, char** argv) {
  using namespace kvarta::bench;
  std::vector<std::string> names;
  std::vector<uint32_t> rates;
  int runs = 5;
  bool json = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--json") {
      json = true;
    } else if ((a == "--case" || a == "--rate" || a == "--runs") && i + 1 < argc) {
      const std::string v = argv[++i];
      if (a == "--case") names.push_back(v);
      if (a == "--rate") rates.push_back(static_cast<uint32_t>(std::stoul(v)));
      if (a == "--runs") runs = std::max(1, std::stoi(v));
    } else {
      std::fputs(kUsage, a == "--help" ? stdout : stderr);
      return a == "--help" ? 0 : 2;
    }
  }
  if (rates.empty()) rates = {9600, 115200, 230400};
  std::vector<Result> results;
  for (const Case& c : AllCases()) {
    if (!names.empty() && std::find(names.begin(), names.end(), c.name) == names.end()) continue;
    for (uint32_t rate : rates) {
      results.push_back(Measure(c, rate, c.silent ? 1 : runs));
      if (!json) std::fprintf(stderr, "%s at %u done\n", c.name.c_str(), rate);
    }
  }
  if (json) {
    PrintJson(results);
  } else {
    PrintTable(results);
  }
  for (const Result& r : results) {
    if (!r.ok) return 1;
  }
  return 0;
}
