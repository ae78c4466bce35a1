// The device search dialog (TFormSearch): its checks, the scan over the
// broadcast address at every rate, and storing what was found as the direct
// connection's parameters.
#pragma once

#include <functional>
#include <string>

#include "connection/dialog_controls.h"
#include "connection/settings_store.h"

namespace kvarta {

class Connector;
class Host;

class SearchModel {
 public:
  static constexpr int kWidth = 440;
  static constexpr int kHeight = 310;
  static constexpr const char* kTitle = "Определение адреса контроллера  и скорости обмена";
  static constexpr uint32_t kOpenRate = 1200;

  SearchModel(Host& host, SettingsStore& store, Connector& connector);

  void OnShow();
  void OnSearch();  // "Искать"
  void OnStop();    // "Прервать поиск"
  void OnExit();    // "Выход"; also any other way of closing

  bool closed() const { return closed_; }
  bool searching() const { return searching_; }
  bool found() const { return found_; }

  ChoiceList port;  // "COM1".."COM8"
  EditBox first_wait{5};
  EditBox next_wait{4};
  EditBox preambles{3};
  EditBox attempts{1};
  std::string address_text;  // progress "Адрес:"
  std::string rate_text;     // progress "Скорость обмена:"
  bool search_enabled = true;
  bool stop_enabled = false;
  bool exit_enabled = true;
  // Called after each progress change so that a window can repaint.
  std::function<void()> on_progress;

 private:
  bool Check(long& first, long& next, long& tries, long& count);

  Host& host_;
  SettingsStore& store_;
  Connector& connector_;
  bool searching_ = false;
  bool found_ = false;
  bool closed_ = false;
};

}  // namespace kvarta
