// What the commands and monitoring windows need from the main session, and
// the windows they open. The session (app room) implements MonitorSession;
// the desktop program implements MonitorDialogs with its windows, a tool or
// a test with whatever stands in for them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "link/connection_kind.h"
#include "monitor/command_record.h"

namespace kvarta {

class MonitorSession {
 public:
  virtual ~MonitorSession() = default;
  // Table 9 as last read or written (VrgParamsCopy).
  virtual std::array<uint8_t, kVrgParamsSize> VrgParamsCopy() const = 0;
  virtual int ServerCount() const = 0;
  // Label of server 0 or 1 ("Сервер 1 (...)  " once the GPRS table was read).
  virtual std::string ServerLabel(int server) const = 0;
  virtual bool WriteAccessGranted() const = 0;
  virtual ConnectionKind Kind() const = 0;
};

// The command targets of the session as it stands.
CommandTargets TargetsOf(const MonitorSession& session);
// Start-up offers the restart when the VRG table cannot be read over a phone
// line by a user with write access.
bool ShouldOfferRestart(const MonitorSession& session);

// A file dialog: what it shows; the dialog returns the chosen path.
struct FileDialogSpec {
  std::string title;
  std::string initial_folder;
  std::string filter;     // "Data Files (*.txt)|*.txt|DataFiles(*.*)|*.*"
  int filter_index = 1;   // from 1
  std::string file_name;  // preset name (save dialogs)
  bool hide_read_only = true;
  bool keep_current_folder = true;
  bool must_exist = false;
};

class CommDataModel;
class StoredCommModel;
class OutoControlModel;
class DtModel;
class SumDateParModel;
class SeansAuditModel;
class NeedSeansWrModel;

class MonitorDialogs {
 public:
  virtual ~MonitorDialogs() = default;
  // Each runs its window modally and returns once it is closed. The models
  // arrive shown (OnShow called), except the three refreshing windows
  // (OutoControl, Dt, SumDatePar): their window gives the model its timer
  // (SetTimer) and then calls OnShow itself, since showing may read at once.
  virtual bool OpenCommData(CommDataModel& model) = 0;     // applied
  virtual int OpenStoredComm(StoredCommModel& model) = 0;  // the model's result
  virtual void OpenOutoControl(OutoControlModel& model) = 0;
  virtual void OpenDt(DtModel& model) = 0;
  virtual void OpenSumDatePar(SumDateParModel& model) = 0;
  virtual void OpenSeansAudit(SeansAuditModel& model) = 0;
  virtual bool OpenNeedSeansWr(NeedSeansWrModel& model) = 0;  // accepted
  // File dialogs: the chosen path, or nothing when cancelled.
  virtual std::optional<std::string> ChooseFileToOpen(const FileDialogSpec& spec) = 0;
  virtual std::optional<std::string> ChooseFileToSave(const FileDialogSpec& spec) = 0;
};

}  // namespace kvarta
