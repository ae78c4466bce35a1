// The menu actions of the single-table parameter editors: each reads its
// table, takes a snapshot, opens its window on the image in device mode and
// writes what changed, then refreshes what depends on the table.
//   N11   "Параметры вычислителей расхода газа"   table 9
//   N26   "Параметры связи с верхним уровнем"     table 3
//   N1    "Таймауты"                              table 20
//   N2    "Параметры работы с модемом"            table 21
//   GPRS1 "Параметры работы в Интернете с использованием GPRS"  table 22
#pragma once

#include <cstdint>
#include <vector>

#include "config/configuration_session.h"
#include "config/editor_controls.h"
#include "config/param_dialogs.h"
#include "link/table_service.h"

namespace kvarta {

struct ControllerLink;
class ConfigImage;
class Host;
class StatusBar;

struct ParamContext {
  Host& host;
  ControllerLink& link;
  ConfigImage& image;
  StatusBar* status;  // the main window's StatusBar1 (progress in panel 2)
  ParamDialogOpener& dialogs;
  ConfigurationSession& session;
  uint8_t server_count = 1;  // ServerCount, handed to the VRG and GPRS windows
};

struct ParamEditOutcome {
  bool read = false;     // the tables were read and the window was shown
  bool changed = false;  // the window reported a change
  bool written = false;  // the write went through (nothing to send counts too)
  // The write requests planned for the change, in order; a failed write
  // stops at the request that failed.
  std::vector<FieldRange> writes;
};

ParamEditOutcome EditVrgParameters(ParamContext& ctx);    // N11
ParamEditOutcome EditLinkParameters(ParamContext& ctx);   // N26
ParamEditOutcome EditTimeouts(ParamContext& ctx);         // N1
ParamEditOutcome EditModemParameters(ParamContext& ctx);  // N2
ParamEditOutcome EditGprsParameters(ParamContext& ctx);   // GPRS1

// Reads what the editor of table t (3, 9, 20, 21, 22) reads before its
// window opens, as it reads it: table 3 with table 1 field 1, table 9 with
// table 1 field 0 and its state, table 22 decoded. False at the first
// failure (reported by the table service) or for another table.
bool ReadParamTable(ParamContext& ctx, int t);

// The windows as functions: the list window on 104 bytes of table 9 and the
// window of one VRG record. True when the window changed its bytes.
bool EditVrgList(Host& host, ParamDialogOpener& dialogs, uint8_t* table9, uint32_t speed_mask,
                 uint8_t server_count, EditorMode mode);
bool EditVrg(Host& host, ParamDialogOpener& dialogs, uint8_t* record, int number,
             uint8_t server_count);

// Table 9 as VrgParamsCopy keeps it after a write: bytes 6-21 of each of the
// four VRG records cleared.
void ClearVrgUnusedBytes(uint8_t* table9);

}  // namespace kvarta
