// What the configuration flow tests share: the simulated controller behind a
// fake line, a session that records the after-effects, and a dialog opener
// whose windows are acted on by scripts.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "config/access_model.h"
#include "config/avt_key_model.h"
#include "config/change_access_model.h"
#include "config/config_dialogs.h"
#include "config/configuration_session.h"
#include "config/ident_model.h"
#include "config/server_labels.h"
#include "config/table_info_model.h"
#include "config/wait_model.h"
#include "config/whole_configuration.h"
#include "link/controller_link.h"
#include "sim/controller.h"
#include "sim/frame_assembler.h"
#include "support/fakes.h"
#include "support/frames.h"
#include "support/temp_dir.h"

namespace kvarta::test {

// A host whose scripted answers go to questions only (windows with "Да"),
// so that an information message in between does not take one.
class QuestionHost : public FakeHost {
 public:
  bool ShowMessage(const MessageWindowModel& window) override {
    if (!window.yes_visible) {
      shown.push_back(window);
      return false;
    }
    return FakeHost::ShowMessage(window);
  }
  // Lines of every message shown, "line1|line2" each.
  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (const MessageWindowModel& m : shown) out.push_back(m.line1 + "|" + m.line2);
    return out;
  }
};

class RecordingSession : public ConfigurationSession {
 public:
  void SetServerCount(uint8_t count) override {
    server_count = count;
    calls.push_back("servers");
  }
  void ControllerAddressChanged(uint8_t address) override {
    addresses.push_back(address);
    calls.push_back("address");
  }
  void SetVrgParamsCopy(const uint8_t* table9) override {
    vrg_copy.assign(table9, table9 + 104);
    calls.push_back("vrg");
  }
  void BuildCommandMenus() override { calls.push_back("menus"); }
  void SetKeepAliveInterval(int ms) override {
    keep_alive_ms = ms;
    calls.push_back("keep-alive");
  }
  bool WriteAccessGranted() const override { return write_access; }
  void SetServerLabels(const ServerLabels& l) override {
    labels = l;
    calls.push_back("labels");
  }
  void RefreshMainMenu() override { calls.push_back("main-menu"); }
  void StartMessageTimer() override { calls.push_back("message-timer"); }

  bool Called(const std::string& what) const {
    return std::find(calls.begin(), calls.end(), what) != calls.end();
  }

  std::vector<std::string> calls;
  int server_count = -1;
  std::vector<int> addresses;
  std::vector<uint8_t> vrg_copy;
  int keep_alive_ms = -1;
  bool write_access = true;
  std::optional<ServerLabels> labels;
};

class ScriptedConfigDialogs : public ConfigDialogOpener {
 public:
  bool ChooseFileToOpen(const FileDialogRequest& r, std::string& path) override {
    open_requests.push_back(r);
    return Take(open_paths, path);
  }
  bool ChooseFileToSave(const FileDialogRequest& r, std::string& path) override {
    save_requests.push_back(r);
    return Take(save_paths, path);
  }
  void OpenTableInfo(TableInfoModel& m) override { Run("table-info", on_table_info, m); }
  void OpenAccess(AccessModel& m) override { Run("access", on_access, m); }
  void OpenUsPass(UsPassModel& m) override { Run("us-pass", on_us_pass, m); }
  void OpenChangeAccess(ChangeAccessModel& m) override {
    Run("change-access", on_change_access, m);
  }
  void OpenAvtKey(AvtKeyModel& m) override { Run("key", on_key, m); }
  void OpenIdent(IdentModel& m) override { Run("ident", on_ident, m); }
  void ShowWait(const WaitModel& m) override {
    events.push_back(m.mode == WaitModel::Mode::kWriting ? "wait-writing" : "wait-reading");
    wait_open = true;
  }
  void RepaintWait(const WaitModel& m) override {
    wait_position = m.position;
    wait_maximum = m.maximum;
  }
  void CloseWait() override {
    events.push_back("wait-closed");
    wait_open = false;
  }

  // A key window that types key twice and accepts.
  void TypeKey(const std::string& key) {
    on_key = [key](AvtKeyModel& m) {
      m.SetText(AvtKeyModel::kKey, key);
      m.SetText(AvtKeyModel::kConfirm, key);
      m.OnAccept();
    };
  }

  // Paths the file dialogs return in turn; nullopt (or none left) cancels.
  std::deque<std::optional<std::string>> open_paths, save_paths;
  std::vector<FileDialogRequest> open_requests, save_requests;
  std::vector<std::string> events;
  std::function<void(TableInfoModel&)> on_table_info;
  std::function<void(AccessModel&)> on_access;
  std::function<void(UsPassModel&)> on_us_pass;
  std::function<void(ChangeAccessModel&)> on_change_access;
  std::function<void(AvtKeyModel&)> on_key;
  std::function<void(IdentModel&)> on_ident;
  bool wait_open = false;
  int wait_position = 0;
  int wait_maximum = 0;

 private:
  template <typename M>
  void Run(const char* name, const std::function<void(M&)>& script, M& m) {
    events.push_back(name);
    if (script) script(m);
  }
  static bool Take(std::deque<std::optional<std::string>>& q, std::string& path) {
    if (q.empty()) return false;
    const std::optional<std::string> p = q.front();
    q.pop_front();
    if (!p) return false;
    path = *p;
    return true;
  }
};

// One request the simulated controller saw.
struct SeenRequest {
  uint8_t function = 0;
  uint8_t table = 0, first = 0, count = 0;
  std::string credentials;  // 16 bytes of a write
  Bytes values;             // the values of a write, as on the wire
  int error = -1;           // error code of the answer, -1 for a normal answer
};

// The simulated controller answering the program's link through a fake line,
// on the fake clock; every request it answers is noted.
class SimulatedControllerLine {
 public:
  SimulatedControllerLine() : link(host, clock) {
    auto owned = std::make_unique<FakeSerialPort>(clock);
    port = owned.get();
    link.port = std::move(owned);
    link.address = controller.Address();
    link.attempts = 1;
    link.ResetCredentials();
    controller.SetTimeSource([] { return int64_t{1774000000}; });
    port->on_write = [this](const Bytes& bytes) {
      for (const Bytes& frame :
           assembler.Feed(bytes.data(), bytes.size(), clock.now_ns, controller.Address())) {
        if (frame.size() > 21 && frame[3] == 2 && silent_writes.count(frame[21])) continue;
        Bytes answer = controller.Handle(frame);
        Note(frame, answer);
        if (!answer.empty()) port->DeliverAfterMs(answer, 2);
      }
    };
  }

  // Writes of table t, in order.
  std::vector<SeenRequest> WritesOf(int t) const {
    std::vector<SeenRequest> out;
    for (const SeenRequest& r : seen) {
      if (r.function == 2 && r.table == t) out.push_back(r);
    }
    return out;
  }
  // Tables written (function 2, not table 15), in order of the requests.
  std::vector<int> WrittenTables() const {
    std::vector<int> out;
    for (const SeenRequest& r : seen) {
      if (r.function == 2 && r.error < 0) out.push_back(r.table);
    }
    return out;
  }

  sim::Controller controller{1};
  // Tables whose writes get no answer.
  std::set<int> silent_writes;
  sim::FrameAssembler assembler;
  FakeClock clock;
  QuestionHost host;
  FakeStatusBar status;
  ControllerLink link;
  FakeSerialPort* port = nullptr;
  std::vector<SeenRequest> seen;

 private:
  void Note(const Bytes& frame, const Bytes& answer) {
    SeenRequest r;
    r.function = frame[3];
    const size_t head = r.function == 2 ? 21 : 5;
    if (frame.size() >= head + 3) {
      r.table = frame[head];
      r.first = frame[head + 1];
      r.count = frame[head + 2];
    }
    if (r.function == 2 && frame.size() >= 26) {
      r.credentials.assign(frame.begin() + 4, frame.begin() + 20);
      r.values.assign(frame.begin() + 24, frame.end() - 2);
    }
    if (answer.size() >= 6 && (answer[3] & 0x80) == 0) r.error = answer[4];
    seen.push_back(r);
  }
};

// A context over the simulated line with scripted dialogs and a temporary
// configuration folder.
class ConfigFlowFixture : public SimulatedControllerLine {
 public:
  ConfigFlowFixture() : ctx{host, clock, link, image, &status, dialogs, session, folder.path()} {}

  // The answer "Да" to the next question.
  void AnswerYes() { host.answers.push_back(true); }

  std::vector<std::string> Messages() const { return host.Lines(); }

  TempDir folder;
  ConfigImage image;
  ScriptedConfigDialogs dialogs;
  RecordingSession session;
  ConfigContext ctx;
};

}  // namespace kvarta::test
