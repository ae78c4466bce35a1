// Sibling tools outside the program: the firmware writer and the session
// reader (programs started and waited for) and the service library that gets
// the open line for the length of one call.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/call_supervision.h"
#include "app/session_parts.h"

namespace kvarta {

// Starts the program at path without a shell, with no argument but its own
// name, and waits for it to end. False when it could not be started.
bool RunSiblingProgram(const std::string& path);

inline constexpr size_t kAdminRecordSize = 132;
inline constexpr const char* kAdminParamFileName = "dll_work_par.ini";
inline constexpr const char* kAdminEntryName = "_Show_Main_Form";
using AdminRecord = std::array<uint8_t, kAdminRecordSize>;

// The parameter record handed to the service library, from the link.
AdminRecord BuildAdminRecord(const ControllerLink& link, bool modem_connected);

enum class AdminToolsOutcome {
  kParamFileError,  // "Ошибка записи файла" / "для работы с DLL"
  kLoadFailed,      // "Не удалось прочитать DLL %s"
  kEntryMissing,    // the system's text for the failed look-up
  kCalled,
};

struct AdminToolsResult {
  AdminToolsOutcome outcome = AdminToolsOutcome::kLoadFailed;
  std::string error_text;  // dlerror() text for kLoadFailed / kEntryMissing
  bool record_read = false;
  AdminRecord record_after{};
};

// Writes the record to param_file (a new file, readable by the user alone,
// never through a link planted at its name), loads the library, calls its entry with the program
// folder and the port descriptor, reads the record back and removes the file on every path.
AdminToolsResult RunAdminTools(const std::string& library_path, const std::string& program_folder,
                               const std::string& param_file, int port_descriptor,
                               const AdminRecord& record);

// The menu entries that hand the line to a sibling tool. Failures are told
// with the names of the actual files.
class SiblingTools {
 public:
  SiblingTools(SessionParts& parts, CallSupervision& calls, SessionControl& session)
      : parts_(parts), calls_(calls), session_(session) {}

  // The firmware writer gets the port: it is closed first.
  void RunFirmwareLoader();
  // The session reader gets the port: a call is hung up and the port closed.
  void RunSessionReader();
  // The service library gets the open line for one call; when it reports
  // the call ended, the program's connection ends too.
  void RunServiceLibrary();

 private:
  std::vector<std::string> Folders() const;

  SessionParts& parts_;
  CallSupervision& calls_;
  SessionControl& session_;
};

}  // namespace kvarta
