// The start-up sequence (the start timer): the connection dialog, the set-up
// of the connection kind, the identification of the controller, the write
// access test, destroyed tables and the tables every session needs.
#pragma once

#include "app/call_supervision.h"
#include "app/session_parts.h"

namespace kvarta {

class StartUpSequence {
 public:
  StartUpSequence(SessionParts& parts, CallSupervision& calls, SessionControl& session)
      : parts_(parts), calls_(calls), session_(session) {}

  void Run();
  // Tables 9, 3 and 20 (field 4): VrgParamsCopy, ServerCount and the
  // keep-alive interval. False when table 9 or 3 could not be read.
  bool ReadStartTables();
  // Logs on through the log-on window: the accepted credentials become the
  // link's.
  void LogOn();
  // Writes "Команда отсутствует" into the command table: the answer tells
  // whether the credentials allow writing.
  bool TestWriteAccess();

 private:
  void FailureEnd();
  bool SetUpConnection();
  bool CheckIdentification();
  void HandleDestroyedTables(bool& tables_destroyed, bool& table22_pending);

  SessionParts& parts_;
  CallSupervision& calls_;
  SessionControl& session_;
};

}  // namespace kvarta
