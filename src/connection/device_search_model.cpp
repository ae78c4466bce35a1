#include "connection/device_search_model.h"

#include "connection/connect_model.h"
#include "connection/connector.h"
#include "connection/number_input.h"
#include "link/message_window.h"
#include "platform/port_map.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr const char* kNotAll = "Введены не все параметры";
constexpr const char* kEnterValues = "Вводите значения";
constexpr const char* kByRange = "согласно допустимому диапазону";

}  // namespace

SearchModel::SearchModel(Host& host, SettingsStore& store, Connector& connector)
    : host_(host), store_(store), connector_(connector) {
  for (int n = 1; n <= 8; ++n) port.items.push_back(Format("COM%d", n));
}

void SearchModel::OnShow() {
  port.Select(store_.settings.dir_conn.com_port - 1);
  first_wait.SetText("300");
  next_wait.SetText("100");
  preambles.SetText("5");
  attempts.SetText("1");
  address_text.clear();
  rate_text.clear();
  search_enabled = exit_enabled = true;
  stop_enabled = false;
}

bool SearchModel::Check(long& first, long& next, long& tries, long& count) {
  if (!port.HasSelection() || first_wait.text.empty() || next_wait.text.empty() ||
      preambles.text.empty() || attempts.text.empty()) {
    ShowMessageWindow(host_, kMessageInputError, kNotAll, "");
    return false;
  }
  const auto f = ParseWholeNumber(first_wait.text);
  const auto n = ParseWholeNumber(next_wait.text);
  const auto a = ParseWholeNumber(attempts.text);
  const auto p = ParseWholeNumber(preambles.text);
  // Texts that are not whole numbers are out of every range.
  if (!f || !n || !a || *f < 100 || *f > 20000 || *n < 55 || *n > 3000 || *a < 1 || *a > 5) {
    ShowMessageWindow(host_, kMessageInputError, kEnterValues, kByRange);
    return false;
  }
  if (!p || *p > 255 || *p < 0) {
    ShowMessageWindow(host_, kMessageInputError, "Вводите значения ", kByRange);
    return false;
  }
  first = static_cast<long>(*f);
  next = static_cast<long>(*n);
  tries = static_cast<long>(*a);
  count = static_cast<long>(*p);
  return true;
}

void SearchModel::OnSearch() {
  long first = 0, next = 0, tries = 0, count = 0;
  if (!Check(first, next, tries, count)) return;
  ConnectionParams params;
  params.com = port.index + 1;
  params.path = ComPortPath(params.com, store_.folders().ini);
  params.line.rate = kOpenRate;
  params.answer_timeout_ms = static_cast<uint32_t>(first);
  params.inter_byte_timeout_ms = static_cast<uint32_t>(next);
  params.attempts = static_cast<uint8_t>(tries);
  params.preambles = static_cast<uint8_t>(count);
  SearchProgress progress;
  progress.on_address = [this](uint8_t a) {
    address_text = std::to_string(a);
    if (on_progress) on_progress();
  };
  progress.on_rate = [this](uint32_t r) {
    rate_text = std::to_string(r);
    if (on_progress) on_progress();
  };
  // The buttons change once the port is open, when the scan starts.
  progress.on_start = [this] {
    stop_enabled = true;
    search_enabled = exit_enabled = false;
    host_.SetCursor(CursorShape::kBusy);
  };
  const std::optional<SearchResult> scanned = connector_.Search(params, searching_, progress);
  if (!scanned) {
    ShowMessageWindow(host_, kMessageError, PortUnavailableText(params.com), "");
    return;
  }
  host_.SetCursor(CursorShape::kNormal);
  const SearchResult& r = *scanned;
  if (!r.found) {
    ShowMessageWindow(host_, kMessageExchange, "Устройство не обнаружено", "");
    search_enabled = exit_enabled = true;
    stop_enabled = false;
    return;
  }
  found_ = true;
  StoreFoundDevice(store_.settings, params.com, r);
  ShowMessageWindow(host_, kMessageExchange, "Установлена связь с устройством",
                    Format("Адр. = %u.  Скорость обмена = %u", r.address, r.rate));
  OnExit();
}

void SearchModel::OnStop() {
  StopSearch(connector_.link(), searching_);
}

void SearchModel::OnExit() {
  connector_.link().ClosePort();
  closed_ = true;
}

}  // namespace kvarta
