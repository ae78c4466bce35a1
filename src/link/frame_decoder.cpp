#include "link/frame_decoder.h"

#include <array>

#include "link/controller_link.h"
#include "link/crc16.h"
#include "link/function_codes.h"
#include "link/table_catalogue.h"
#include "platform/cp1251.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr size_t kCredentialsBegin = 4;
constexpr size_t kCredentialsEnd = 20;

// Codes whose request body starts with the write password and the code.
bool CarriesCredentials(uint8_t function) {
  switch (function) {
    case 2:
    case 9:
    case 11:
    case 12:
    case 25:
    case 26:
    case 32:
      return true;
    default:
      return false;
  }
}

// Byte offsets of table t that hold credentials, one flag per table byte.
const std::vector<bool>& SecretTableBytes(int t) {
  static const std::array<std::vector<bool>, kTableCount> masks = [] {
    std::array<std::vector<bool>, kTableCount> all;
    for (int table = 0; table < kTableCount; ++table) {
      all[table].assign(TableCatalogue(table).Bytes(), false);
      for (const ParamSpec& p : TableParams(table)) {
        if (!IsCredentialParam(table, p)) continue;
        for (size_t i = p.offset; i < static_cast<size_t>(p.offset) + p.size; ++i) {
          if (i < all[table].size()) all[table][i] = true;
        }
      }
    }
    return all;
  }();
  static const std::vector<bool> none;
  return t >= 0 && t < kTableCount ? masks[t] : none;
}

// Takes the frame starting at bytes[at] apart; found stays false when there
// is no address and length after the start byte.
DecodedFrame DecodeAt(const uint8_t* bytes, size_t n, size_t at) {
  DecodedFrame d;
  d.secret.assign(n, false);
  d.start = at;
  d.start_byte = bytes[at];
  d.request = d.start_byte == kRequestStart;
  if (n - at < 3) {
    d.end = n;
    return d;
  }
  d.found = true;
  d.address = bytes[at + 1];
  d.length = bytes[at + 2];
  const size_t want = d.length;
  const size_t have = n - at;
  d.end = at + std::min(want, have);
  if (have < want || want < 6) {
    d.crc = CrcVerdict::kIncomplete;
  } else {
    d.crc =
        Crc16(bytes + at, static_cast<uint16_t>(want)) == 0 ? CrcVerdict::kGood : CrcVerdict::kBad;
  }
  // The body as far as it is there, never into the CRC of a complete frame.
  const size_t body_end = have >= want && want >= 5 ? at + want - 2 : d.end;
  auto byte = [&](size_t i, uint8_t& out) {
    if (at + i >= body_end) return false;
    out = bytes[at + i];
    return true;
  };
  d.has_function = byte(3, d.function);
  if (!d.has_function) return d;
  size_t values = 4;
  if (d.request) {
    if (CarriesCredentials(d.function)) {
      d.credentials = true;
      for (size_t i = at + kCredentialsBegin; i < std::min(at + kCredentialsEnd, body_end); ++i) {
        d.secret[i] = true;
      }
      values = kCredentialsEnd;
    }
    if (d.function == kReadFunction || d.function == kWriteFunction) {
      // The request byte, then the field range.
      const size_t range = values + 1;
      d.has_range = byte(range, d.table) && byte(range + 1, d.first) && byte(range + 2, d.count);
      values = range + 3;
      if (d.function == kReadFunction) values = body_end - at;  // a read carries no values
    }
  } else if ((d.function & 0x80) == 0) {
    d.error_answer = true;
    byte(4, d.error_code);
    byte(5, d.reason_code);
    byte(6, d.error_table);
    values = body_end - at;
  } else {
    d.has_status = byte(4, d.status);
    values = 5;
    const uint8_t asked = d.function & 0x7F;
    if (asked == kReadFunction || asked == kWriteFunction) {
      d.has_range = byte(5, d.table) && byte(6, d.first) && byte(7, d.count);
      values = 8;
    }
  }
  d.values_begin = std::min(at + values, body_end);
  d.values_end = body_end;
  if (d.has_range) {
    const std::vector<bool>& mask = SecretTableBytes(d.table);
    const size_t field_size = TableCatalogue(d.table).field_size;
    const size_t base = static_cast<size_t>(d.first) * field_size;
    for (size_t i = d.values_begin; i < d.values_end; ++i) {
      const size_t offset = base + (i - d.values_begin);
      if (offset < mask.size() && mask[offset]) d.secret[i] = true;
    }
  }
  return d;
}

void AppendByteHex(std::string& out, uint8_t byte, bool hidden) {
  if (hidden) {
    out += "**";
  } else {
    out += Format("%02X", byte);
  }
}

}  // namespace

bool IsCredentialParam(int table, const ParamSpec& p) {
  switch (table) {
    case 4:
      return p.name.ends_with(".password") || p.name.ends_with(".code");
    case 12:
      return p.name == "authorisation_key";
    case 22:
      return p.name == "password";
    default:
      return false;
  }
}

DecodedFrame DecodeFrame(const uint8_t* bytes, size_t n) {
  DecodedFrame first_candidate;
  bool have_candidate = false;
  for (size_t i = 0; i < n; ++i) {
    if (bytes[i] != kRequestStart && bytes[i] != kAnswerStart) continue;
    DecodedFrame d = DecodeAt(bytes, n, i);
    if (d.crc == CrcVerdict::kGood) return d;
    if (!have_candidate && d.found) {
      first_candidate = std::move(d);
      have_candidate = true;
    }
  }
  if (have_candidate) return first_candidate;
  DecodedFrame none;
  none.secret.assign(n, false);
  none.end = n;
  return none;
}

std::string FrameHex(const uint8_t* bytes, size_t n, const DecodedFrame& d, bool show_secrets) {
  std::string out;
  out.reserve(n * 3);
  for (size_t i = 0; i < n; ++i) {
    if (i) out += ' ';
    AppendByteHex(out, bytes[i], !show_secrets && i < d.secret.size() && d.secret[i]);
  }
  return out;
}

const char* CrcVerdictText(CrcVerdict verdict) {
  switch (verdict) {
    case CrcVerdict::kGood:
      return "верна";
    case CrcVerdict::kBad:
      return "неверна";
    case CrcVerdict::kIncomplete:
      return "кадр неполный";
    case CrcVerdict::kNoFrame:
      break;
  }
  return "нет кадра";
}

std::string FunctionName(uint8_t function, bool request) {
  const uint8_t code = request ? function : static_cast<uint8_t>(function & 0x7F);
  std::string name;
  switch (code) {
    case kReadFunction:
      name = "чтение";
      break;
    case kWriteFunction:
      name = "запись";
      break;
    case kRestartFunction:
      name = "перезапуск";
      break;
    default:
      return "";
  }
  if (request) return name;
  if ((function & 0x80) == 0) return "ошибка";
  return "ответ: " + name;
}

std::string DescribeFrame(const uint8_t* bytes, size_t n, const DecodedFrame& d,
                          bool show_secrets) {
  if (!d.found) {
    return Format("нет начала кадра (%zu байт)", n);
  }
  std::string out = Format("старт %02X, адрес %u, длина %u", d.start_byte, d.address, d.length);
  if (d.has_function) {
    out += Format(", функция %u", d.function);
    const std::string name = FunctionName(d.function, d.request);
    if (!name.empty()) out += " (" + name + ")";
  }
  if (d.credentials) {
    if (show_secrets) {
      const size_t from = std::min(n, d.start + kCredentialsBegin);
      const std::string raw(reinterpret_cast<const char*>(bytes) + from,
                            std::min(n, d.start + kCredentialsEnd) - from);
      out += ", пароль \"" + Cp1251ToUtf8(raw.substr(0, 12)) + "\"";
      out += ", код \"" + Cp1251ToUtf8(raw.size() > 12 ? raw.substr(12) : "") + "\"";
    } else {
      out += ", пароль ************, код ****";
    }
  }
  if (d.has_status) out += Format(", состояние %u", d.status);
  if (d.error_answer) {
    out += Format(", код ошибки %u, причина %u, таблица %u", d.error_code, d.reason_code,
                  d.error_table);
  }
  if (d.has_range) {
    out += Format(", таблица %u, поле %u, количество %u", d.table, d.first, d.count);
  }
  if (d.values_end > d.values_begin) {
    out += Format(", значения (%zu) ", d.values_end - d.values_begin);
    for (size_t i = d.values_begin; i < d.values_end; ++i) {
      if (i > d.values_begin) out += ' ';
      AppendByteHex(out, bytes[i], !show_secrets && d.secret[i]);
    }
  }
  out += ", CRC ";
  out += CrcVerdictText(d.crc);
  if (d.crc == CrcVerdict::kIncomplete) {
    out += Format(" (%zu из %u байт)", d.end - d.start, d.length);
  }
  if (d.end < n) out += Format(", после кадра %zu байт", n - d.end);
  if (d.start > 0) out += Format(", перед кадром %zu байт", d.start);
  return out;
}

std::string HideCommandSecrets(const std::string& cp1251) {
  // The SIM's PIN may be part of the modem's initialisation string.
  std::string text = cp1251;
  std::string upper = text;
  for (char& c : upper) c = static_cast<char>(Cp1251ToUpper(static_cast<unsigned char>(c)));
  for (size_t at = 0; (at = upper.find("+CPIN=", at)) != std::string::npos;) {
    at += 6;
    while (at < text.size() && text[at] != '\r' && text[at] != ';' && text[at] != '^') {
      text[at++] = '*';
    }
  }
  return text;
}

std::string CommandText(const std::string& cp1251, bool show_secrets) {
  const std::string text = show_secrets ? cp1251 : HideCommandSecrets(cp1251);
  std::string out;
  for (const char c : Cp1251ToUtf8(text)) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\0') {
      out += "\\0";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace kvarta
