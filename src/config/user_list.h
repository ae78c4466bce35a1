// The registered users of table 4: the 22-byte record, the access levels and
// the checks that keep a list the controller will accept.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace kvarta {

inline constexpr int kUserCount = 16;
inline constexpr int kUserRecordSize = 22;
inline constexpr int kUserListSize = kUserCount * kUserRecordSize;  // 352
inline constexpr int kUserNameSize = 4;
inline constexpr int kUserLevelOffset = 4;
inline constexpr int kUserReservedOffset = 5;
inline constexpr int kUserPasswordOffset = 6;
inline constexpr int kUserPasswordSize = 12;
inline constexpr int kUserCodeOffset = 18;
inline constexpr int kUserCodeSize = 4;

// Access levels by the level byte.
inline constexpr int kLevelNone = 0;
inline constexpr int kLevelAdjuster = 1;  // "Производитель-наладчик"
inline constexpr int kLevelAdministrator = 2;
inline constexpr int kLevelCount = 5;
const std::array<std::string, kLevelCount>& AccessLevelNames();

using UserList = std::array<uint8_t, kUserListSize>;

inline uint8_t* UserRecord(uint8_t* list, int i) {
  return list + i * kUserRecordSize;
}
inline const uint8_t* UserRecord(const uint8_t* list, int i) {
  return list + i * kUserRecordSize;
}

bool AllSpaces(const uint8_t* p, size_t n);
// n bytes of blanks overwritten from the left by the code page 1251 form of
// utf8 (cut to n bytes).
void PutPadded(uint8_t* dst, size_t n, const std::string& utf8);
// A space-padded field as UTF-8 without its trailing blanks.
std::string PaddedText(const uint8_t* p, size_t n);
// A UTF-8 text cut to at most n code page 1251 characters.
std::string CutToChars(const std::string& utf8, size_t n);

// A free slot: level 0, name, password and code all blanks, byte 5 zero.
void ClearUserRecord(uint8_t* record);
// Sixteen free slots.
UserList FreeUserList();

// A broken rule of the list with the two lines of its message.
struct UserListError {
  std::string line1;
  std::string line2;
};

// The list checks, in order, stopping at the first failure: exactly one
// manufacturer-adjuster; every registered user with a name and a code; no
// two registered users with the same name or the same code.
std::optional<UserListError> CheckUserList(const uint8_t* list);

}  // namespace kvarta
