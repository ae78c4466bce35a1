#include "connection/connect_model.h"

#include "connection/abonents_list_model.h"
#include "connection/conn_par_model.h"
#include "connection/connect_dialogs.h"
#include "connection/connector.h"
#include "connection/device_search_model.h"
#include "connection/imit_modem_model.h"
#include "connection/number_input.h"
#include "link/message_window.h"
#include "platform/text_format.h"

namespace kvarta {

std::string PortUnavailableText(int com_port) {
  return Format("Коммуникационный порт СОМ%d недоступен", com_port);
}

ConnectModel::ConnectModel(Host& host, SettingsStore& store, Connector& connector,
                           ConnectDialogOpener& opener, MainWindowHooks hooks)
    : subscriber(host, store.settings.phone_book, opener),
      host_(host),
      store_(store),
      connector_(connector),
      opener_(opener),
      hooks_(std::move(hooks)) {
  kind.items = {kKindDirect, kKindPhone, kKindAdapter};
  for (int a = 1; a <= 255; ++a) address_items.items.push_back(std::to_string(a));
}

void ConnectModel::RefreshStatusLine() {
  if (hooks_.refresh_status_line) hooks_.refresh_status_line();
}

void ConnectModel::OnShow() {
  ConnectionSettings& s = store_.settings;
  s.curr.protokol = 0;
  s.dir_conn.chan_ind = 0;
  s.fon_conn.chan_ind = 0;
  s.adap_conn.chan_ind = 0;
  kind.Select(s.curr.conn_prz);
  ApplyKind();
  focus_on_subscriber = s.Kind() == ConnectionKind::kPhone && kind.HasSelection();
}

void ConnectModel::OnKindChange(int index) {
  kind.Select(index);
  if (kind.HasSelection()) store_.settings.curr.conn_prz = static_cast<uint8_t>(index);
  ApplyKind();
}

void ConnectModel::ApplyKind() {
  const ConnectionSettings& s = store_.settings;
  const int k = kind.index;
  const bool phone = k == static_cast<int>(ConnectionKind::kPhone);
  phone_panel_visible = phone;
  direct_panel_visible = !phone;
  if (hooks_.set_modem_bars_visible) hooks_.set_modem_bars_visible(phone);
  if (phone) {
    address_enabled = false;
    RefillSubscribers();
    return;
  }
  address_enabled = true;
  search_enabled = k == static_cast<int>(ConnectionKind::kDirect);
  change_enabled = connect_enabled = kind.HasSelection();
  if (k == static_cast<int>(ConnectionKind::kAdapter)) {
    address.SetText(std::to_string(s.adap_conn.adr));
  } else {
    address.SetText(std::to_string(s.dir_conn.adr));
  }
  RefreshStatusLine();
}

void ConnectModel::ShowSubscriberAddress() {
  const Subscriber* sub = subscriber.Shown();
  address.SetText(sub ? std::to_string(sub->contr_adr) : "");
  change_enabled = connect_enabled = sub != nullptr;
}

void ConnectModel::RefillSubscribers() {
  subscriber.Refill();
  ShowSubscriberAddress();
  RefreshStatusLine();
}

void ConnectModel::OnSubscriberChoose(int index) {
  subscriber.Choose(index);
  subscriber.Refill();
  ShowSubscriberAddress();
  RefreshStatusLine();
}

void ConnectModel::OnSubscriberListButton() {
  AbonentsListModel list(host_, store_.settings.phone_book, opener_);
  list.save = [this] { store_.SavePhoneBook(); };
  list.OnShow();
  if (opener_.OpenAbonentsList(list)) RefillSubscribers();
}

void ConnectModel::OnChangeParams() {
  if (!kind.HasSelection()) return;
  ConnParModel params(host_, store_.settings, static_cast<ConnectionKind>(kind.index), opener_);
  params.save_phone_book = [this] { store_.SavePhoneBook(); };
  params.OnShow();
  if (!opener_.OpenConnPar(params)) return;
  RefreshStatusLine();
  if (kind.index == static_cast<int>(ConnectionKind::kPhone)) RefillSubscribers();
}

void ConnectModel::OnSearch() {
  SearchModel search(host_, store_, connector_);
  search.OnShow();
  opener_.OpenSearch(search);
  address.SetText(std::to_string(store_.settings.dir_conn.adr));
  RefreshStatusLine();
}

void ConnectModel::OnImitation() {
  ImitModemModel imitation(host_, store_, connector_);
  imitation.OnShow();
  opener_.OpenImitation(imitation);
}

void ConnectModel::OnConnect() {
  if (address.text.empty() || !kind.HasSelection()) {
    ShowMessageWindow(host_, kMessageInputError, "Введены не все параметры", "");
    return;
  }
  const std::optional<int64_t> adr = ParseWholeNumber(address.text);
  if (!adr || *adr < 1 || *adr > 255) {
    ShowMessageWindow(host_, kMessageInputError, "Адрес вне допустимого диапазона", "(1...255)");
    return;
  }
  RefreshStatusLine();
  host_.SetCursor(CursorShape::kBusy);
  const auto k = static_cast<ConnectionKind>(kind.index);
  ChannelParams& ch = store_.settings.Channel(k);
  ch.adr = static_cast<uint8_t>(*adr);
  ConnectionParams params = ConnectionParamsFrom(store_.settings, k, store_.folders().ini);
  params.address = ch.adr;  // what the dialog shows, also for a phone connection
  if (!connector_.Open(params)) {
    host_.SetCursor(CursorShape::kNormal);
    ShowMessageWindow(host_, kMessageError, PortUnavailableText(ch.com_port), "");
    return;
  }
  result_ = true;
  host_.SetCursor(CursorShape::kNormal);
  closed_ = true;
}

}  // namespace kvarta
