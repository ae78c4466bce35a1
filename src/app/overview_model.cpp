#include "app/overview_model.h"

#include "config/identification.h"
#include "config/server_labels.h"
#include "connection/connect_model.h"
#include "connection/phone_book.h"
#include "link/config_image.h"
#include "link/result_messages.h"
#include "link/table_catalogue.h"
#include "link/table_layout.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

namespace t0 = layout::t0;
namespace t9 = layout::t9;

const char* KindName(ConnectionKind kind) {
  switch (kind) {
    case ConnectionKind::kPhone:
      return kKindPhone;
    case ConnectionKind::kAdapter:
      return kKindAdapter;
    case ConnectionKind::kDirect:
      break;
  }
  return kKindDirect;
}

std::string PortText(const OverviewInputs& in) {
  std::string text = in.com > 0 ? Format("COM%d", in.com) : in.device;
  if (in.com > 0 && !in.device.empty()) text += " (" + in.device + ")";
  return text;
}

std::string SubscriberText(const Subscriber& s) {
  return Format("%s (тел. %s)", s.name.c_str(), s.phone_code.c_str());
}

std::string WriteAccessText(const OverviewInputs& in) {
  if (in.write_access) return kWriteAccessGrantedText;
  // An error answer is the controller refusing the credentials; anything
  // else means the test itself did not get through.
  if (in.write_access_result == kResultErrorAnswer || in.write_access_result == kResultValveError)
    return kWriteAccessRefusedText;
  const std::string& why = in.write_access_failure;
  if (why.empty() || why.find('%') != std::string::npos) return "не разрешена";
  return "не разрешена: " + why;
}

std::string DestroyedText(const std::vector<int>& tables) {
  if (tables.empty()) return "Разрушенных таблиц нет";
  if (tables.size() == 1) return Format("Разрушена таблица %d", tables[0]);
  std::string list;
  for (int t : tables) list += (list.empty() ? "" : ", ") + std::to_string(t);
  return "Разрушены таблицы " + list;
}

// "Сервер 1 (10.0.0.1: 5000)  " gives "10.0.0.1: 5000"; the label without
// an address (table 22 not read) gives "".
std::string ServerAddress(std::string label) {
  while (!label.empty() && label.back() == ' ') label.pop_back();
  const size_t open = label.find(" (");
  if (open == std::string::npos || label.empty() || label.back() != ')') return "";
  return label.substr(open + 2, label.size() - open - 3);
}

OverviewSection ControllerSection(const ConfigImage& image, unsigned address) {
  const uint8_t* ident = image.Table(0);
  const IdentificationView view = DecodeIdentification(ident, true);
  OverviewSection s{"Контроллер", {}};
  s.lines.push_back({"Тип", Format("kvr%02u", ident[t0::kControllerType])});
  s.lines.push_back({"Версия ПО", view.software_version.text});
  s.lines.push_back({"Дата создания ПО", view.creation_date.text});
  s.lines.push_back({"Версия аппаратуры", view.hardware_version.text});
  const std::string name = GetText(image.Table(3), Param(3, "name"));
  s.lines.push_back({"Наименование", name.empty() ? "не задано" : name});
  s.lines.push_back({"Адрес", Format("%u", address)});
  return s;
}

OverviewSection VrgSection(const uint8_t* t9copy) {
  OverviewSection s{"Вычислители расхода газа", {}};
  const unsigned count = t9copy ? t9copy[t9::kVrgCount] : 0;
  if (count == 0 || count > t9::kMaxVrgs) {
    s.lines.push_back({"ВРГ", "не заданы"});
    return s;
  }
  for (unsigned k = 0; k < count; ++k) {
    const uint8_t* rec = t9copy + t9::Record(static_cast<int>(k));
    s.lines.push_back(
        {Format("ВРГ %u", k + 1), Format("адрес %u, ниток %u", rec[t9::kAddress], rec[t9::kRuns])});
  }
  return s;
}

OverviewSection ServerSection(const OverviewInputs& in) {
  OverviewSection s{"Серверы", {}};
  const ServerLabels defaults;
  const ServerLabels& labels = in.server_labels ? *in.server_labels : defaults;
  const unsigned count = in.server_count >= 2 ? 2 : 1;
  for (unsigned k = 1; k <= count; ++k) {
    const std::string address = ServerAddress(k == 1 ? labels.server1 : labels.server2);
    s.lines.push_back({Format("Сервер %u", k), address.empty() ? "адрес не прочитан" : address});
  }
  return s;
}

}  // namespace

const OverviewLine* OverviewModel::Line(std::string_view label) const {
  for (const OverviewSection& s : sections) {
    for (const OverviewLine& l : s.lines) {
      if (l.label == label) return &l;
    }
  }
  return nullptr;
}

std::vector<int> DestroyedTables(const ConfigImage& image) {
  const int reported = image.DestroyedTableNumber();
  if (reported == 0) return {};
  std::vector<int> states;
  bool agrees = false;
  for (int t = 0; t < kTableCount; ++t) {
    if (!image.TableDestroyed(t)) continue;
    states.push_back(t);
    agrees = agrees || t == reported;
  }
  // Table 7 is read only when a destroyed table is reported: states that do
  // not include the reported table are from an earlier connection.
  if (agrees) return states;
  return {reported};
}

OverviewModel BuildOverview(const OverviewInputs& in) {
  OverviewModel m;
  std::string line = KindName(in.kind);
  line += ", " + PortText(in) + Format(", %u бит/с", in.rate);
  if (in.kind == ConnectionKind::kPhone) {
    if (in.subscriber) line += ", " + SubscriberText(*in.subscriber);
  } else {
    line += Format(", адрес %u", in.address);
  }
  if (!in.connected || in.image == nullptr) {
    m.headline = kOverviewNoConnection;
    m.subline = "Связь задана: " + line;
    m.offer_connect = true;
    return m;
  }

  m.connected = true;
  const ConfigImage& image = *in.image;
  const std::string name = GetText(image.Table(3), Param(3, "name"));
  m.headline =
      name.empty() ? Format("Контроллер kvr%02u", image.Byte(0, t0::kControllerType)) : name;
  m.subline = Format("Контроллер kvr%02u, адрес %u", image.Byte(0, t0::kControllerType), in.address);
  m.sections.push_back(ControllerSection(image, in.address));

  OverviewSection link{"Связь", {}};
  link.lines.push_back({"Вид связи", KindName(in.kind)});
  link.lines.push_back({"Порт", PortText(in)});
  link.lines.push_back({"Скорость", Format("%u бит/с", in.rate)});
  if (in.kind == ConnectionKind::kPhone) {
    link.lines.push_back({"Абонент", in.subscriber ? SubscriberText(*in.subscriber) : "не выбран"});
  }
  link.lines.push_back({"Запись в контроллер", WriteAccessText(in), !in.write_access});
  m.sections.push_back(std::move(link));

  const std::vector<int> destroyed = DestroyedTables(image);
  m.sections.push_back(
      {"Таблицы конфигурации", {{"Состояние", DestroyedText(destroyed), !destroyed.empty()}}});
  m.offer_table_state = !destroyed.empty();

  m.sections.push_back(VrgSection(in.vrg_params));
  m.sections.push_back(ServerSection(in));
  return m;
}

}  // namespace kvarta
