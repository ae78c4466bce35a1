// The record of the last communication session the controller started
// itself (table 19, 8000 bytes of code page 1251 text): reading it, the
// viewer with its character and hex views and its saving to a file, viewing
// a saved file, the recording mode (table 3 field 4) and emptying the buffer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"

namespace kvarta {

struct ControllerLink;
class ConfigImage;
class Host;
class StatusBar;
class MonitorDialogs;

inline constexpr int kSessionTable = 19;
inline constexpr int kSessionFieldCount = 40;
inline constexpr size_t kSessionFieldSize = 200;
inline constexpr size_t kSessionBufferSize = 8000;
inline constexpr size_t kSessionFileLimit = 12600;  // bytes a viewed file may have
inline constexpr int kRecordingModeField = 4;       // table 3 (layout::t3::kRecordingMode)

enum class SessionReadResult { kFailed, kEmpty, kText };

// Reads table 19 field by field, stopping after the first field that holds a
// NUL; text receives the bytes (code page 1251) up to the first NUL, at most
// 8000. An empty text is reported ("Длина текста сообщения равна нулю.").
// fields_read, when given, receives the number of table-19 fields read.
SessionReadResult ReadSessionRecord(ControllerLink& link, ConfigImage& image, StatusBar* status,
                                    std::string& text, int* fields_read = nullptr);

// "В буфере свободно %d %s  из 8000" for a text of that many bytes.
std::string FreeBytesText(size_t text_length);
// "байт" (last digit 1), "байта" (2 to 4), "байтов" (any other).
const char* BytesWord(int count);
// The character view: the text (code page 1251) as UTF-8 lines.
std::vector<std::string> CharacterLines(std::string_view text);
// The hex view: 16 bytes a line, the terminating NUL included; "%02X " each,
// blanks up to column 50, then the bytes as characters ("." below 32 as a
// signed byte, i.e. control characters and every byte from 0x80).
std::vector<std::string> HexDumpLines(std::string_view text);
inline constexpr int kHexCharacterColumn = 50;

// What the proposed file name is made of, from tables 0 and 3 of the image.
struct SessionFileNaming {
  uint8_t software_version = 0;  // table 0 field 3
  uint8_t modem_code = 0;        // table 0 field 17
  std::string controller_name;   // table 3 fields 104..121, UTF-8
  uint8_t address = 0;           // table 3 field 0
  static SessionFileNaming FromImage(const ConfigImage& image);
};
// folder/kvartaVV-MODEM-NAME-AAA-YYMMDD-HHMM.txt, the name cleaned of
// characters a file name cannot hold.
std::string ProposedSessionFileName(const std::string& folder, const SessionFileNaming& naming,
                                    const LocalDateTime& read_time);

class SeansAuditModel {
 public:
  static constexpr int kWidth = 810;
  static constexpr int kHeight = 604;
  static constexpr const char* kFont = "Courier New";

  // The text (code page 1251, up to its first NUL) read from the controller
  // at read_time; folder is COMMUNIC_SESSION.
  SeansAuditModel(Host& host, MonitorDialogs& dialogs, std::string text,
                  const LocalDateTime& read_time, std::string folder, SessionFileNaming naming);
  // The text of a file.
  SeansAuditModel(Host& host, MonitorDialogs& dialogs, std::string text, std::string file_path,
                  std::string folder);

  void OnShow();
  // BitBtn3: character view / hex view.
  void OnSwitchView();
  // BitBtn2 "Сохранить в файле". True when a file was written.
  bool OnSave();
  // BitBtn1 "Выход".
  void OnExit() { closed_ = true; }

  bool closed() const { return closed_; }
  bool hex_mode() const { return hex_mode_; }
  bool from_file() const { return from_file_; }
  const std::string& text() const { return text_; }

  std::string caption;
  std::vector<std::string> lines;  // the memo, in the current view
  std::string free_label;
  std::string switch_caption;  // BitBtn3
  bool save_visible = true;

 private:
  void FillView();

  Host& host_;
  MonitorDialogs& dialogs_;
  std::string text_;
  LocalDateTime read_time_{};
  std::string folder_;
  SessionFileNaming naming_;
  std::string file_path_;
  bool from_file_ = false;
  bool hex_mode_ = false;
  bool closed_ = false;
};

class NeedSeansWrModel {
 public:
  static constexpr const char* kCaption =
      "Необходимость записи содержимого сеанса связи по инициативе контроллера";
  static constexpr int kWidth = 490;
  static constexpr int kHeight = 168;

  // mode: table 3 field 4 in the image, set when accepted.
  NeedSeansWrModel(Host& host, uint8_t& mode);

  void OnShow();
  void OnChoose(int index);
  // "Записать в устройство".
  void OnAccept();
  // "Отменить" and closing.
  void OnCancel();

  bool accepted() const { return accepted_; }
  bool closed() const { return closed_; }

  std::vector<std::string> items;
  int selected = -1;  // none chosen

 private:
  Host& host_;
  uint8_t& mode_;
  bool accepted_ = false;
  bool closed_ = false;
};

// "Чтение из контроллера" (NrMessClick): reads and, with a text, opens the
// viewer. False when nothing was shown.
bool ShowSessionRecord(ControllerLink& link, ConfigImage& image, StatusBar* status,
                       const std::string& folder, MonitorDialogs& dialogs);
// "Просмотр из файла" (N14Click).
bool ShowSessionFile(Host& host, const std::string& folder, MonitorDialogs& dialogs);
// The file viewing without the dialog: the file's text, or false after the
// message ("Ошибка открытия файла" or the length refusal).
bool LoadSessionFile(Host& host, const std::string& path, std::string& text);
// "Необходимость записи..." (N16Click). True when the mode was written.
bool SetSessionRecordingMode(ControllerLink& link, ConfigImage& image, StatusBar* status,
                             MonitorDialogs& dialogs);
// "Очистка буфера..." (N5Click): after the question, reads table 3 field 4
// and writes the value back, which the controller takes as the clearing
// request. True when that write went through.
bool ClearSessionRecord(ControllerLink& link, ConfigImage& image, StatusBar* status);

}  // namespace kvarta
