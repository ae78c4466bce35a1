// The connection dialog (TFormConnect, "Установка связи с устройством"): the
// kind of connection, the controller address or the subscriber, and
// "Связаться", which opens the port and hands the parameters to the link.
#pragma once

#include <functional>
#include <string>

#include "connection/dialog_controls.h"
#include "connection/settings_store.h"
#include "connection/subscriber_choice.h"

namespace kvarta {

class ConnectDialogOpener;
class Connector;
class Host;

class ConnectModel {
 public:
  static constexpr int kWidth = 440;
  static constexpr int kHeight = 280;

  // The main window's parts that the dialog refreshes.
  struct MainWindowHooks {
    std::function<void(bool)> set_modem_bars_visible;
    std::function<void()> refresh_status_line;  // ShowConnectionStatus
  };

  ConnectModel(Host& host, SettingsStore& store, Connector& connector, ConnectDialogOpener& opener,
               MainWindowHooks hooks = {});

  void OnShow();
  void OnKindChange(int index);
  void OnSubscriberChoose(int index);
  void OnSubscriberListButton();  // "Список абонентов"
  void OnChangeParams();          // "Изменить параметры связи"
  void OnSearch();                // "Поиск параметров связи"
  void OnImitation();             // "Имитация модема"
  void OnConnect();               // "Связаться"
  void OnExit() { closed_ = true; }

  // Set when "Связаться" succeeded.
  bool result() const { return result_; }
  bool closed() const { return closed_; }

  ChoiceList kind;  // "Тип связи"
  EditBox address;  // "Адрес устройства": editable list of "1".."255"
  ChoiceList address_items;
  bool address_enabled = true;
  bool direct_panel_visible = true;
  bool phone_panel_visible = false;
  bool search_enabled = true;
  bool change_enabled = true;
  bool connect_enabled = true;
  bool focus_on_subscriber = false;  // else on "Связаться"
  SubscriberChoice subscriber;

 private:
  void ApplyKind();
  void RefillSubscribers();
  void ShowSubscriberAddress();
  void RefreshStatusLine();

  Host& host_;
  SettingsStore& store_;
  Connector& connector_;
  ConnectDialogOpener& opener_;
  MainWindowHooks hooks_;
  bool result_ = false;
  bool closed_ = false;
};

// The texts of the kind list; the third is the line adapter.
inline constexpr const char* kKindDirect = "Непосредственная связь";
inline constexpr const char* kKindPhone = "Связь по телефону";
inline constexpr const char* kKindAdapter = "Связь через адаптер";

// "Коммуникационный порт СОМ%d недоступен" ("СОМ" in Cyrillic letters).
std::string PortUnavailableText(int com_port);

}  // namespace kvarta
