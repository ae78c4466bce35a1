#include "config/user_list.h"

#include <algorithm>
#include <cstring>

#include "platform/cp1251.h"
#include "platform/text_format.h"

namespace kvarta {

const std::array<std::string, kLevelCount>& AccessLevelNames() {
  static const std::array<std::string, kLevelCount> names = {
      "Нет доступа", "Производитель-наладчик", "Администратор", "Инженер", "Оператор"};
  return names;
}

bool AllSpaces(const uint8_t* p, size_t n) {
  return std::all_of(p, p + n, [](uint8_t b) { return b == ' '; });
}

void PutPadded(uint8_t* dst, size_t n, const std::string& utf8) {
  const std::string cp = Utf8ToCp1251(utf8);
  std::memset(dst, ' ', n);
  std::memcpy(dst, cp.data(), std::min(n, cp.size()));
}

std::string PaddedText(const uint8_t* p, size_t n) {
  size_t len = n;
  while (len > 0 && p[len - 1] == ' ') --len;
  return Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(p), len));
}

std::string CutToChars(const std::string& utf8, size_t n) {
  return Cp1251ToUtf8(Utf8ToCp1251(utf8).substr(0, n));
}

void ClearUserRecord(uint8_t* record) {
  std::memset(record, ' ', kUserRecordSize);
  record[kUserLevelOffset] = kLevelNone;
  record[kUserReservedOffset] = 0;
}

UserList FreeUserList() {
  UserList list{};
  for (int i = 0; i < kUserCount; ++i) ClearUserRecord(UserRecord(list.data(), i));
  return list;
}

std::optional<UserListError> CheckUserList(const uint8_t* list) {
  int adjusters = 0;
  for (int i = 0; i < kUserCount; ++i) adjusters += UserRecord(list, i)[kUserLevelOffset] == 1;
  if (adjusters == 0) {
    return UserListError{"В списке зарегистрированных пользователей",
                         "не зарегистрирован производитель-наладчик"};
  }
  if (adjusters > 1) {
    return UserListError{"Может быть зарегистрирован", "только один производитель-наладчик"};
  }
  for (int i = 0; i < kUserCount; ++i) {
    const uint8_t* user = UserRecord(list, i);
    if (user[kUserLevelOffset] == kLevelNone) continue;
    const std::string number = Format("Номер пользователя в таблице - %d.", i + 1);
    if (AllSpaces(user, kUserNameSize)) return UserListError{number, "Не задано имя пользователя"};
    if (AllSpaces(user + kUserCodeOffset, kUserCodeSize)) {
      return UserListError{number, "Не задан код идентификации пользователя"};
    }
    // Free slots are not users: they are blanked before the list is stored.
    for (int j = i + 1; j < kUserCount; ++j) {
      const uint8_t* other = UserRecord(list, j);
      if (other[kUserLevelOffset] == kLevelNone) continue;
      const std::string pair = Format("Пользователи   %d и % d.", i + 1, j + 1);
      if (std::memcmp(user, other, kUserNameSize) == 0) {
        return UserListError{pair, "Совпадение имен пользователей"};
      }
      if (std::memcmp(user + kUserCodeOffset, other + kUserCodeOffset, kUserCodeSize) == 0) {
        return UserListError{pair, "Совпадение кодов идентификации пользователя"};
      }
    }
  }
  return std::nullopt;
}

}  // namespace kvarta
