// Shared by the fuzz targets: invariant checks that stop the run, a scratch
// folder for the loaders that take a path, and ways to cut one input into
// the several pieces a target needs.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

// assert() is compiled out in the release build the targets share with the
// product; a broken invariant must abort so that libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                 \
  do {                                                                                   \
    if (!(cond)) {                                                                       \
      std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (0)

namespace kvarta::fuzz {

// A folder of this process, removed at exit. Kept on the heap so that it
// outlives the static destructors that run before the exit handler. In
// memory where there is such a file system: the saves fsync, which on a disk
// would bring a target down to a few inputs a second.
inline const std::string& ScratchDir() {
  static const std::string* dir = [] {
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    std::string t = (base / "kvarta-fuzz-XXXXXX").string();
    if (::mkdtemp(t.data()) == nullptr) std::abort();
    auto* kept = new std::string(t);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(ScratchDir(), ec);
    });
    return kept;
  }();
  return *dir;
}

inline std::string ScratchPath(const std::string& name) {
  return ScratchDir() + "/" + name;
}

inline void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::abort();
}

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The pieces between separator bytes.
inline std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t at = text.find(separator, start);
    parts.emplace_back(text.substr(start, at == std::string_view::npos ? at : at - start));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

// Two inputs in one: a 16-bit length (little-endian) of the first, then the
// first, then the second.
inline bool SplitTwo(const uint8_t* data, size_t size, std::string& a, std::string& b) {
  if (size < 2) return false;
  const size_t n = std::min<size_t>(data[0] | (data[1] << 8), size - 2);
  a.assign(reinterpret_cast<const char*>(data) + 2, n);
  b.assign(reinterpret_cast<const char*>(data) + 2 + n, size - 2 - n);
  return true;
}

}  // namespace kvarta::fuzz
