#include "monitor/session_record.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "link/config_image.h"
#include "link/controller_link.h"
#include "link/host.h"
#include "link/message_window.h"
#include "link/modem_type.h"
#include "link/table_layout.h"
#include "link/table_service.h"
#include "monitor/monitor_session.h"
#include "platform/atomic_file.h"
#include "platform/cp1251.h"
#include "platform/file_names.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

namespace t3 = layout::t3;
static_assert(kRecordingModeField == t3::kRecordingMode);

constexpr int kLinkTable = 3;
constexpr int kLinkFieldCount = 122;
constexpr size_t kHexBytesPerLine = 16;

const char kViewerCaption[] = " Содержание сеанса связи по инициативе контроллера";
const char kOpenFilter[] =
    "Data Files (*.cnf)|*.cnf|DataFiles(*.txt)|*.txt|DataFiles(*.txt; *.cst), |*.txt; "
    "*.cst|DataFiles(*.*)|*.*";
const char kSaveFilter[] = "Data Files (*.txt)|*.txt|DataFiles(*.*)|*.*";

class Busy {
 public:
  explicit Busy(Host& host) : host_(host) { host_.SetCursor(CursorShape::kBusy); }
  ~Busy() { host_.SetCursor(CursorShape::kNormal); }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  Host& host_;
};

bool HasExtension(const std::string& path) {
  const std::string base = BaseName(path);
  const size_t dot = base.find_last_of('.');
  return dot != std::string::npos && dot > 0 && dot + 1 < base.size();
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// The text of a C string: up to the first NUL.
std::string UpToNul(std::string bytes) {
  const size_t nul = bytes.find('\0');
  if (nul != std::string::npos) bytes.resize(nul);
  return bytes;
}

}  // namespace

SessionReadResult ReadSessionRecord(ControllerLink& link, ConfigImage& image, StatusBar* status,
                                    std::string& text, int* fields_read) {
  Busy busy(link.host);
  int read = 0;
  if (fields_read) *fields_read = 0;
  if (!ReadTableFields(link, image, FieldRange{22, 7, 1}, status, true))
    return SessionReadResult::kFailed;
  for (int i = 0; i < kSessionFieldCount; ++i) {
    if (!ReadTableFields(link, image, FieldRange{kSessionTable, static_cast<uint8_t>(i), 1}, status,
                         true)) {
      if (fields_read) *fields_read = read;
      return SessionReadResult::kFailed;
    }
    ++read;
    const uint8_t* field = image.Field(kSessionTable, i);
    if (std::find(field, field + kSessionFieldSize, 0) != field + kSessionFieldSize) break;
  }
  if (fields_read) *fields_read = read;
  const uint8_t* start = image.Table(kSessionTable);
  const size_t length = std::find(start, start + kSessionBufferSize, 0) - start;
  text.assign(reinterpret_cast<const char*>(start), length);
  if (length == 0) {
    ShowMessageWindow(link.host, kMessageInfo, "Длина текста сообщения равна нулю.", "");
    return SessionReadResult::kEmpty;
  }
  return SessionReadResult::kText;
}

const char* BytesWord(int count) {
  const int digit = (count < 0 ? -count : count) % 10;
  if (digit == 1) return "байт";
  if (digit >= 2 && digit <= 4) return "байта";
  return "байтов";
}

std::string FreeBytesText(size_t text_length) {
  // A longer text from a file leaves nothing free rather than a negative count.
  const int free =
      text_length >= kSessionBufferSize ? 0 : static_cast<int>(kSessionBufferSize - text_length);
  return Format("В буфере свободно %d %s  из 8000", free, BytesWord(free));
}

std::vector<std::string> CharacterLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(Cp1251ToUtf8(text.substr(start, i - start)));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(Cp1251ToUtf8(text.substr(start)));
  return lines;
}

std::vector<std::string> HexDumpLines(std::string_view text) {
  std::string bytes(text);
  bytes.push_back('\0');
  std::vector<std::string> lines;
  for (size_t at = 0; at < bytes.size(); at += kHexBytesPerLine) {
    const size_t n = std::min(kHexBytesPerLine, bytes.size() - at);
    std::string line;
    for (size_t k = 0; k < n; ++k) line += Format("%02X ", static_cast<uint8_t>(bytes[at + k]));
    line.resize(kHexCharacterColumn, ' ');
    for (size_t k = 0; k < n; ++k) {
      const signed char c = static_cast<signed char>(bytes[at + k]);
      line += c < 32 ? '.' : static_cast<char>(c);
    }
    lines.push_back(line);
  }
  return lines;
}

SessionFileNaming SessionFileNaming::FromImage(const ConfigImage& image) {
  SessionFileNaming n;
  n.software_version = image.Byte(0, layout::t0::kSoftwareVersion);
  n.modem_code = image.Byte(0, layout::t0::kModemType);
  n.address = image.Byte(kLinkTable, t3::kAddress);
  const uint8_t* name = image.Field(kLinkTable, t3::kName);
  const size_t length = std::find(name, name + t3::kNameMaxChars, 0) - name;
  n.controller_name = Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(name), length));
  return n;
}

std::string ProposedSessionFileName(const std::string& folder, const SessionFileNaming& n,
                                    const LocalDateTime& t) {
  return Format("%s/kvarta%02d-%s-%s-%03d-%02d%02d%02d-%02d%02d.txt", folder.c_str(),
                n.software_version, ModemTypeFileName(n.modem_code).c_str(),
                CleanFileNamePart(n.controller_name).c_str(), n.address, t.year - 2000, t.month,
                t.day, t.hour, t.minute);
}

// --- viewer ---

SeansAuditModel::SeansAuditModel(Host& host, MonitorDialogs& dialogs, std::string text,
                                 const LocalDateTime& read_time, std::string folder,
                                 SessionFileNaming naming)
    : host_(host),
      dialogs_(dialogs),
      text_(UpToNul(std::move(text))),
      read_time_(read_time),
      folder_(std::move(folder)),
      naming_(std::move(naming)) {}

SeansAuditModel::SeansAuditModel(Host& host, MonitorDialogs& dialogs, std::string text,
                                 std::string file_path, std::string folder)
    : host_(host),
      dialogs_(dialogs),
      text_(UpToNul(std::move(text))),
      folder_(std::move(folder)),
      file_path_(std::move(file_path)),
      from_file_(true) {}

void SeansAuditModel::OnShow() {
  hex_mode_ = false;
  closed_ = false;
  save_visible = !from_file_;
  caption = from_file_ ? Format("%s (файл %s)", kViewerCaption, BaseName(file_path_).c_str())
                       : kViewerCaption;
  free_label = FreeBytesText(text_.size());
  FillView();
}

void SeansAuditModel::FillView() {
  lines = hex_mode_ ? HexDumpLines(text_) : CharacterLines(text_);
  switch_caption = hex_mode_ ? "Символьный вид" : "Шестнадцатиричный код";
}

void SeansAuditModel::OnSwitchView() {
  hex_mode_ = !hex_mode_;
  FillView();
}

bool SeansAuditModel::OnSave() {
  if (from_file_) return false;
  FileDialogSpec spec;
  spec.title = "Введите имя файла для сохранения данных";
  spec.initial_folder = folder_;
  spec.filter = kSaveFilter;
  spec.file_name = ProposedSessionFileName(folder_, naming_, read_time_);
  std::string path;
  for (;;) {
    const std::optional<std::string> chosen = dialogs_.ChooseFileToSave(spec);
    if (!chosen || chosen->empty()) return false;
    path = *chosen;
    if (!HasExtension(path)) path += ".txt";
    if (!Exists(path)) break;
    if (ShowMessageWindow(host_, kMessageQuestion,
                          Format("Файл %s уже есть.", BaseName(path).c_str()),
                          "Вы хотите заменить его?")) {
      break;
    }
    spec.file_name = path;
  }
  if (!WriteFileAtomically(path, text_)) {
    ShowMessageWindow(host_, kMessageInfo, "Сбой при работе с файлом", "");
    return false;
  }
  return true;
}

// --- recording mode ---

NeedSeansWrModel::NeedSeansWrModel(Host& host, uint8_t& mode) : host_(host), mode_(mode) {}

void NeedSeansWrModel::OnShow() {
  items = {" Не требуется", " Запись каждого сеанса связи",
           " Запись только неудачных сеансов связи"};
  selected = mode_ < items.size() ? mode_ : -1;
  accepted_ = false;
  closed_ = false;
}

void NeedSeansWrModel::OnChoose(int index) {
  if (index >= -1 && index < static_cast<int>(items.size())) selected = index;
}

void NeedSeansWrModel::OnAccept() {
  if (selected < 0) {
    ShowMessageWindow(host_, kMessageInputError, "Не введен параметр", "");
    return;
  }
  mode_ = static_cast<uint8_t>(selected);
  accepted_ = true;
  closed_ = true;
}

void NeedSeansWrModel::OnCancel() {
  accepted_ = false;
  closed_ = true;
}

// --- menu actions ---

bool ShowSessionRecord(ControllerLink& link, ConfigImage& image, StatusBar* status,
                       const std::string& folder, MonitorDialogs& dialogs) {
  std::string text;
  if (ReadSessionRecord(link, image, status, text) != SessionReadResult::kText) return false;
  SeansAuditModel viewer(link.host, dialogs, std::move(text), link.clock.LocalNow(), folder,
                         SessionFileNaming::FromImage(image));
  viewer.OnShow();
  dialogs.OpenSeansAudit(viewer);
  return true;
}

bool LoadSessionFile(Host& host, const std::string& path, std::string& text) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    ShowMessageWindow(host, kMessageError, "Ошибка открытия файла", "");
    return false;
  }
  if (static_cast<uint64_t>(st.st_size) > kSessionFileLimit) {
    ShowMessageWindow(host, kMessageError, "Длина файла превышает допустимую",
                      "(д.б. не больше 12600");
    return false;
  }
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) {
    ShowMessageWindow(host, kMessageError, "Ошибка открытия файла", "");
    return false;
  }
  // The file may have grown since it was measured.
  if (bytes.size() > kSessionFileLimit) {
    ShowMessageWindow(host, kMessageError, "Длина файла превышает допустимую",
                      "(д.б. не больше 12600");
    return false;
  }
  text = UpToNul(std::move(bytes));
  return true;
}

bool ShowSessionFile(Host& host, const std::string& folder, MonitorDialogs& dialogs) {
  FileDialogSpec spec;
  spec.title = "Выбор файла с данными";
  spec.initial_folder = folder;
  spec.filter = kOpenFilter;
  spec.filter_index = 2;
  spec.must_exist = true;
  const std::optional<std::string> path = dialogs.ChooseFileToOpen(spec);
  if (!path || path->empty()) return false;
  std::string text;
  if (!LoadSessionFile(host, *path, text)) return false;
  SeansAuditModel viewer(host, dialogs, std::move(text), *path, folder);
  viewer.OnShow();
  dialogs.OpenSeansAudit(viewer);
  return true;
}

bool SetSessionRecordingMode(ControllerLink& link, ConfigImage& image, StatusBar* status,
                             MonitorDialogs& dialogs) {
  const FieldRange range{kLinkTable, 0, kLinkFieldCount};
  std::array<uint8_t, kLinkFieldCount> snapshot{};
  {
    Busy busy(link.host);
    if (!ReadTableFields(link, image, range, status, true)) return false;
  }
  std::memcpy(snapshot.data(), image.Table(kLinkTable), snapshot.size());
  NeedSeansWrModel dialog(link.host, *image.Field(kLinkTable, kRecordingModeField));
  dialog.OnShow();
  if (!dialogs.OpenNeedSeansWr(dialog) || !dialog.accepted()) {
    // Nothing is written: the image keeps what the controller holds.
    std::memcpy(image.Table(kLinkTable), snapshot.data(), snapshot.size());
    return false;
  }
  return WriteChangedFields(link, image, range, snapshot.data(), status);
}

bool ClearSessionRecord(ControllerLink& link, ConfigImage& image, StatusBar* status) {
  if (!ShowMessageWindow(link.host, kMessageQuestion, "Вы действительно хотите очистить буфер",
                         "содержимого сеанса связи?")) {
    return false;
  }
  Busy busy(link.host);
  const FieldRange mode{kLinkTable, kRecordingModeField, 1};
  if (!ReadTableFields(link, image, mode, status, true)) return false;
  return WriteTableFields(link, image, mode, status);
}

}  // namespace kvarta
