#include "connection/device_search_model.h"

#include "connection/connect_model.h"
#include "connection/device_search.h"
#include "connection/number_input.h"
#include "link/controller_link.h"
#include "link/message_window.h"
#include "platform/port_map.h"
#include "platform/posix_serial_port.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr const char* kNotAll = "Введены не все параметры";
constexpr const char* kEnterValues = "Вводите значения";
constexpr const char* kByRange = "согласно допустимому диапазону";

}  // namespace

SearchModel::SearchModel(Host& host, Clock& clock, SettingsStore& store, ControllerLink& link)
    : host_(host), clock_(clock), store_(store), link_(link) {
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
  link_.answer_timeout_ms = static_cast<uint32_t>(first);
  link_.inter_byte_timeout_ms = static_cast<uint32_t>(next);
  link_.attempts = static_cast<uint8_t>(tries);
  link_.preamble_count = static_cast<uint8_t>(count);
  const int com = port.index + 1;
  auto opened = OpenComPort(ComPortPath(com, store_.folders().ini), kOpenRate, 8, 0, 0, 1000, 1000,
                            true, false);
  if (!opened) {
    ShowMessageWindow(host_, kMessageError, PortUnavailableText(com), "");
    return;
  }
  link_.port = std::move(opened);
  link_.connection_kind = ConnectionKind::kDirect;
  stop_enabled = true;
  search_enabled = exit_enabled = false;

  host_.SetCursor(CursorShape::kBusy);
  SearchProgress progress;
  progress.on_address = [this](uint8_t a) {
    address_text = std::to_string(a);
    if (on_progress) on_progress();
  };
  progress.on_rate = [this](uint32_t r) {
    rate_text = std::to_string(r);
    if (on_progress) on_progress();
  };
  const SearchResult r = SearchDevice(link_, searching_, progress);
  host_.SetCursor(CursorShape::kNormal);
  link_.ClosePort();

  if (!r.found) {
    ShowMessageWindow(host_, kMessageExchange, "Устройство не обнаружено", "");
    search_enabled = exit_enabled = true;
    stop_enabled = false;
    return;
  }
  found_ = true;
  ChannelParams& d = store_.settings.dir_conn;
  d.com_port = static_cast<uint8_t>(com);
  d.adr = r.address;
  if (d.chan_ind == kChannel5) {
    d.rate_ch5 = r.rate;
  } else {
    d.rate_ch0 = r.rate;
  }
  ShowMessageWindow(host_, kMessageExchange, "Установлена связь с устройством",
                    Format("Адр. = %u.  Скорость обмена = %u", r.address, r.rate));
  OnExit();
}

void SearchModel::OnStop() {
  StopSearch(link_, searching_);
}

void SearchModel::OnExit() {
  link_.ClosePort();
  closed_ = true;
}

}  // namespace kvarta
