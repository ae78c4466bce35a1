// Names of files built from what a device or a user supplied: cleaned so that
// they stay inside the folder they are meant for.
#pragma once

#include <string>
#include <string_view>

namespace kvarta {

// One part of a file name (UTF-8): path separators, control characters and
// \ : * ? " < > | become "_"; everything else, Cyrillic included, is kept. A
// part made only of dots ("." or "..") becomes underscores as well.
std::string CleanFileNamePart(std::string_view utf8);

}  // namespace kvarta
