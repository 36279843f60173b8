// Helpers shared by the tests of the native backend.
#ifndef ZTRM_TESTS_PLATFORM_TEST_SUPPORT_H_
#define ZTRM_TESTS_PLATFORM_TEST_SUPPORT_H_

#include <chrono>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "common/wide_text.h"

namespace ztrm {

// The text as a UTF-16 file with its byte order mark, little endian unless told.
inline std::string Utf16File(WStringView text, bool big_endian = false) {
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t c : text) {
    const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
    bytes.push_back(big_endian ? hi : lo);
    bytes.push_back(big_endian ? lo : hi);
  }
  return bytes;
}

// Sets a folder's modification time an hour back: answers about a folder
// changed within the file system clock's current tick are never kept.
inline void AgeFolder(const std::string& folder) {
  std::filesystem::last_write_time(folder, std::filesystem::last_write_time(folder) - std::chrono::hours(1));
}

// The names of the two runs of a test of kept answers: with the change watch
// (true) and with a stat at each use.
inline std::string WatchName(const testing::TestParamInfo<bool>& info) {
  return info.param ? "Watched" : "StatEachTime";
}

}  // namespace ztrm

#endif  // ZTRM_TESTS_PLATFORM_TEST_SUPPORT_H_
