#include "config/param_menus.h"

#include <array>
#include <cstring>

#include "config/con_vu_model.h"
#include "config/ini_modem_model.h"
#include "config/inter_par_model.h"
#include "config/modem_ans_time_model.h"
#include "config/server_labels.h"
#include "config/vrg_par_model.h"
#include "config/whole_configuration.h"
#include "link/config_image.h"
#include "link/controller_link.h"
#include "link/gprs_transform.h"
#include "link/host.h"
#include "link/table_layout.h"
#include "link/whole_table.h"

namespace kvarta {
namespace {

constexpr uint8_t kSpeedsTable = 1;
constexpr uint8_t kLinkTable = 3;
constexpr uint8_t kStatesTable = 7;
constexpr uint8_t kVrgTable = 9;
constexpr uint8_t kTimeoutsTable = 20;
constexpr uint8_t kModemTable = 21;
constexpr uint8_t kGprsTable = 22;
constexpr int kTextEnd = 49;  // the last byte of a 50-byte text field

class Busy {
 public:
  explicit Busy(Host& host) : host_(host) { host_.SetCursor(CursorShape::kBusy); }
  ~Busy() { host_.SetCursor(CursorShape::kNormal); }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  Host& host_;
};

bool Read(ParamContext& ctx, FieldRange range) {
  for (const FieldRange& chunk : ChunkFields(range, false)) {
    if (!ReadTableFields(ctx.link, ctx.image, chunk, ctx.status, true)) return false;
  }
  return true;
}

FieldRange WholeTable(uint8_t t) {
  return {t, 0, TableCatalogue(t).field_count};
}

// Step 1 of each menu action: what is read, in the order it is read.
bool ReadEditorTables(ParamContext& ctx, int t) {
  Busy busy(ctx.host);
  switch (t) {
    case kLinkTable:
      return Read(ctx, {kSpeedsTable, layout::t1::kUpperSpeedMask, 1}) &&
             Read(ctx, WholeTable(kLinkTable));
    case kVrgTable:
      return Read(ctx, {kSpeedsTable, layout::t1::kVrgSpeedMask, 1}) &&
             Read(ctx, {kStatesTable, kVrgTable, 1}) && Read(ctx, WholeTable(kVrgTable));
    case kTimeoutsTable:
    case kModemTable:
    case kGprsTable:
      return Read(ctx, WholeTable(static_cast<uint8_t>(t)));
    default:
      return false;
  }
}

// The name's last byte is its terminator: a name of the full 17 characters
// comes back whole from the controller.
void TerminateName(ConfigImage& image) {
  *image.Field(kLinkTable, layout::t3::kNameTerminator) = 0;
}

uint32_t SpeedMask(const ConfigImage& image, const char* name) {
  return static_cast<uint32_t>(GetNumber(image.Table(kSpeedsTable), Param(kSpeedsTable, name)));
}

// Writes what differs from snapshot over range, noting the requests.
bool WriteChanges(ParamContext& ctx, FieldRange range, const uint8_t* snapshot,
                  ParamEditOutcome& out) {
  const std::vector<FieldRange> plan = PlanChangedWrites(ctx.image, range, snapshot);
  out.writes.insert(out.writes.end(), plan.begin(), plan.end());
  return WriteChangedFields(ctx.link, ctx.image, range, snapshot, ctx.status);
}

template <size_t N>
std::array<uint8_t, N> Snapshot(const ConfigImage& image, int t) {
  std::array<uint8_t, N> copy{};
  std::memcpy(copy.data(), image.Table(t), N);
  return copy;
}

}  // namespace

bool ReadParamTable(ParamContext& ctx, int t) {
  if (!ReadEditorTables(ctx, t)) return false;
  if (t == kLinkTable) TerminateName(ctx.image);
  if (t == kGprsTable) DecodeGprsFields(ctx.image);
  return true;
}

void ClearVrgUnusedBytes(uint8_t* table9) {
  for (int k = 0; k < layout::t9::kMaxVrgs; ++k) {
    std::memset(table9 + layout::t9::Record(k) + layout::t9::kUnused, 0, layout::t9::kUnusedSize);
  }
}

bool EditVrgList(Host& host, ParamDialogOpener& dialogs, uint8_t* table9, uint32_t speed_mask,
                 uint8_t server_count, EditorMode mode) {
  VrgParModel window(host, dialogs, table9, speed_mask, server_count, mode);
  window.OnShow();
  dialogs.OpenVrgPar(window);
  return window.changed();
}

bool EditVrg(Host& host, ParamDialogOpener& dialogs, uint8_t* record, int number,
             uint8_t server_count) {
  VrgConfModel window(host, record, number, server_count);
  window.OnShow();
  dialogs.OpenVrgConf(window);
  return window.accepted();
}

ParamEditOutcome EditVrgParameters(ParamContext& ctx) {
  ParamEditOutcome out;
  if (!ReadEditorTables(ctx, kVrgTable)) return out;
  ConfigImage& image = ctx.image;
  uint8_t* t9 = image.Table(kVrgTable);
  ctx.session.SetVrgParamsCopy(t9);
  const auto snapshot = Snapshot<kVrgTableSize>(image, kVrgTable);
  const bool destroyed = image.TableDestroyed(kVrgTable);
  if (destroyed) ClearVrgUnusedBytes(t9);
  out.read = true;
  out.changed = EditVrgList(ctx.host, ctx.dialogs, t9, SpeedMask(image, "vrg_speed_mask"),
                            ctx.server_count, EditorMode::kDevice);
  if (!out.changed) return out;
  const FieldRange whole = WholeTable(kVrgTable);
  if (destroyed) {
    // The controller takes a destroyed table only as a whole.
    out.writes.push_back(whole);
    if (!WriteTableFields(ctx.link, image, whole, ctx.status)) return out;
  } else if (!WriteChanges(ctx, whole, snapshot.data(), out)) {
    return out;
  }
  out.written = true;
  std::array<uint8_t, kVrgTableSize> copy = Snapshot<kVrgTableSize>(image, kVrgTable);
  ClearVrgUnusedBytes(copy.data());
  ctx.session.SetVrgParamsCopy(copy.data());
  if (ctx.session.WriteAccessGranted()) ctx.session.BuildCommandMenus();
  return out;
}

ParamEditOutcome EditLinkParameters(ParamContext& ctx) {
  ParamEditOutcome out;
  if (!ReadEditorTables(ctx, kLinkTable)) return out;
  ConfigImage& image = ctx.image;
  TerminateName(image);
  const auto snapshot = Snapshot<kLinkTableSize>(image, kLinkTable);
  ConVuModel window(ctx.host, ctx.dialogs, image.Table(kLinkTable),
                    SpeedMask(image, "upper_speed_mask"), EditorMode::kDevice);
  window.OnShow();
  ctx.dialogs.OpenConVu(window);
  out.read = true;
  out.changed = window.changed();
  if (!out.changed) return out;
  if (!WriteChanges(ctx, WholeTable(kLinkTable), snapshot.data(), out)) return out;
  out.written = true;
  const uint8_t* t3 = image.Table(kLinkTable);
  ctx.session.SetServerCount(t3[layout::t3::kServers]);
  ctx.link.address = t3[layout::t3::kAddress];
  ctx.session.ControllerAddressChanged(t3[layout::t3::kAddress]);
  if (ctx.session.WriteAccessGranted()) ctx.session.BuildCommandMenus();
  return out;
}

ParamEditOutcome EditTimeouts(ParamContext& ctx) {
  ParamEditOutcome out;
  if (!ReadEditorTables(ctx, kTimeoutsTable)) return out;
  ConfigImage& image = ctx.image;
  const auto snapshot = Snapshot<kTimeoutsTableSize>(image, kTimeoutsTable);
  ModemAnsTimeModel window(ctx.host, image.Table(kTimeoutsTable),
                           image.Byte(0, layout::t0::kModemType), EditorMode::kDevice);
  window.OnShow();
  ctx.dialogs.OpenModemAnsTime(window);
  out.read = true;
  out.changed = window.changed();
  if (!out.changed) return out;
  if (!WriteChanges(ctx, WholeTable(kTimeoutsTable), snapshot.data(), out)) return out;
  out.written = true;
  const int64_t wait = GetNumber(image.Table(kTimeoutsTable), Param(20, "phone_request_wait_s"));
  ctx.session.SetKeepAliveInterval(KeepAliveIntervalMs(static_cast<int>(wait)));
  return out;
}

ParamEditOutcome EditModemParameters(ParamContext& ctx) {
  ParamEditOutcome out;
  if (!ReadEditorTables(ctx, kModemTable)) return out;
  ConfigImage& image = ctx.image;
  const auto snapshot = Snapshot<kModemTableSize>(image, kModemTable);
  image.Field(kModemTable, layout::t21::kInitString)[kTextEnd] = 0;
  image.Field(kModemTable, layout::t21::kBalancePhone)[kTextEnd] = 0;
  IniModemModel window(ctx.host, image.Table(kModemTable), EditorMode::kDevice);
  window.OnShow();
  ctx.dialogs.OpenIniModem(window);
  out.read = true;
  out.changed = window.changed();
  if (!out.changed) return out;
  out.written = WriteChanges(ctx, WholeTable(kModemTable), snapshot.data(), out);
  return out;
}

ParamEditOutcome EditGprsParameters(ParamContext& ctx) {
  ParamEditOutcome out;
  if (!ReadEditorTables(ctx, kGprsTable)) return out;
  ConfigImage& image = ctx.image;
  // The snapshot is of the wire form: the write compares encoded bytes.
  const auto snapshot = Snapshot<kGprsTableSize>(image, kGprsTable);
  DecodeGprsFields(image);
  InterParModel window(ctx.host, image.Table(kGprsTable), ctx.server_count, EditorMode::kDevice);
  window.OnShow();
  ctx.dialogs.OpenInterPar(window);
  out.read = true;
  out.changed = window.changed();
  if (!out.changed) return out;
  EncodeGprsFields(image);
  // Within the write byte limit: four fields of 50 bytes a request at most.
  constexpr FieldRange kParts[] = {{kGprsTable, 0, 4}, {kGprsTable, 4, 4}, {kGprsTable, 8, 3}};
  for (const FieldRange& part : kParts) {
    const uint8_t* before = snapshot.data() + part.first * kGprsFieldSize;
    if (!WriteChanges(ctx, part, before, out)) return out;  // left in wire form
  }
  out.written = true;
  DecodeGprsFields(image);
  if (ctx.session.WriteAccessGranted()) {
    ServerLabels labels;
    RefreshServerLabels(ctx.link, image, ctx.status, false, false, labels);
    ctx.session.SetServerLabels(labels);
    ctx.session.RefreshMainMenu();
  }
  return out;
}

}  // namespace kvarta
