// Parts of file names built from device data (a controller's name, an
// address book entry): cleaned so that the file stays in its folder and the
// name is one that every file system takes.
#pragma once

#include <string>
#include <string_view>

namespace kvarta {

// Replaces "/", "\", control characters (C0, DEL, C1), malformed UTF-8 bytes
// and : * ? " < > | by "_"; every other character, Cyrillic included, stays.
// A result made of dots only ("." or "..") has its dots replaced as well, so
// the part can never name the folder itself or its parent.
std::string CleanFileNamePart(std::string_view utf8);

// The part of path after its last "/" (all of it without one).
std::string BaseName(const std::string& path);

}  // namespace kvarta
