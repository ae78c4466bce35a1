#include "monitor/command_panel.h"

#include "link/controller_link.h"
#include "link/function_codes.h"
#include "link/message_window.h"
#include "link/result_messages.h"
#include "monitor/command_texts.h"
#include "monitor/controller_restart.h"
#include "monitor/monitor_session.h"
#include "monitor/stored_comm_model.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr int kProgressPanel = 2;

}  // namespace

CommandPanel::CommandPanel(ControllerLink& link, StatusBar* status, CommandHistory& history,
                           RememberedPeriods& periods, MonitorSession& session,
                           MonitorDialogs& dialogs)
    : link_(link),
      status_(status),
      history_(history),
      periods_(periods),
      session_(session),
      dialogs_(dialogs) {}

void CommandPanel::SetButtons(bool enabled) {
  buttons_enabled = enabled;
  if (on_change) on_change();
}

void CommandPanel::ShowLabel(const CommandTexts& texts) {
  label = CommandLabel(texts);
  if (on_change) on_change();
}

void CommandPanel::Status(const std::string& text) {
  if (!status_) return;
  status_->SetPanelText(kProgressPanel, text);
  status_->Repaint();
}

void CommandPanel::EnableAfter() {
  // A lost modem link ends the command with the buttons left off.
  if (link_.result_code != kResultCarrierLost && !history_.Empty()) SetButtons(true);
}

CommandOutcome CommandPanel::NDoCommandClick(uint32_t tag) {
  SetButtons(false);
  CommandFields fields = FieldsFromTag(tag);
  if (ChoicesOf(fields[0]).period != CommandPeriod::kNone) {
    CommDataModel dialog(fields, periods_, CommandDialogTitle(fields, TargetsOf(session_)));
    dialog.OnShow();
    if (!dialogs_.OpenCommData(dialog) || !dialog.applied()) {
      if (!history_.Empty()) SetButtons(true);
      return CommandOutcome::kCancelled;
    }
  }
  return RunCommand(fields);
}

CommandOutcome CommandPanel::RunCommand(const CommandFields& fields) {
  SetButtons(false);
  const uint8_t code = fields[0];
  if (code == kRestartCode) return Restart();
  if (!KnownCommandCode(code)) {
    EnableAfter();
    return CommandOutcome::kCancelled;
  }
  if (code == kPayTrafficCode &&
      !ShowMessageWindow(link_.host, kMessageQuestion, "Вы действительно хотите",
                         "оплатить трафик?")) {
    if (!history_.Empty()) SetButtons(true);
    return CommandOutcome::kCancelled;
  }
  const CommandTexts texts = DescribeCommand(fields, TargetsOf(session_));
  ShowLabel(texts);
  history_.Add(CommandRecord::Make(fields, texts));
  return SendCurrent();
}

CommandOutcome CommandPanel::NDoCommandClick() {
  SetButtons(false);
  if (history_.Empty()) return CommandOutcome::kCancelled;
  return SendCurrent();
}

CommandOutcome CommandPanel::SendCurrent() {
  const CommandRecord record = history_.Current();
  if (!record.Sendable()) {
    EnableAfter();
    return CommandOutcome::kCancelled;
  }
  bool sent = false;
  for (;;) {
    link_.host.SetCursor(CursorShape::kBusy);
    Status(Format("Запись в таблицу %d (поля %d-%d)", record.Table(), record.FirstField(),
                  record.FirstField() + record.FieldCount() - 1));
    sent = SendRequest(link_, kWriteFunction, record.WriteData(), record.WriteDataLength(), 0);
    Status("");
    link_.host.SetCursor(CursorShape::kNormal);
    // Esc and a lost modem link end the command without the retry question.
    if (sent || link_.result_code == kResultCarrierLost || link_.result_code == kResultAborted)
      break;
    const std::string reason = FormatResultMessage(link_);
    Status(reason);
    const bool again =
        ShowMessageWindow(link_.host, kMessageRetry,
                          Format("Не выполнена запись в таблицу %d.", record.Table()), reason);
    Status("");
    if (!again) break;
  }
  EnableAfter();
  return sent ? CommandOutcome::kDelivered : CommandOutcome::kFailed;
}

CommandOutcome CommandPanel::Restart() {
  const bool ok = RestartController(link_, status_);
  EnableAfter();
  return ok ? CommandOutcome::kDelivered : CommandOutcome::kFailed;
}

CommandOutcome CommandPanel::OnStoredClick(int left, int top) {
  StoredCommModel window(link_.host, history_, left, top);
  window.OnShow();
  const int result = dialogs_.OpenStoredComm(window);
  if (result == StoredCommModel::kChosen) {
    ShowLabel(history_.Current().Texts());
    return NDoCommandClick();
  }
  if (result == StoredCommModel::kCleared) {
    SetButtons(false);
    label.clear();
    if (on_change) on_change();
  }
  return CommandOutcome::kCancelled;
}

void CommandPanel::Refresh() {
  if (history_.Empty()) return;
  buttons_enabled = true;
  label = CommandLabel(history_.Current().Texts());
  if (on_change) on_change();
}

void CommandPanel::Reset() {
  buttons_enabled = false;
  label.clear();
  if (on_change) on_change();
}

}  // namespace kvarta
