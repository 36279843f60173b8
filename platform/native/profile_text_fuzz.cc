// Fuzz target: the profile reader over a file's bytes and a list of queries.
//
// Input: the file's bytes, optionally followed by the marker "\n\x01Q" and
// query lines "section\x02key\x02default\x02units" (units decimal; missing
// parts empty). Besides the queries given, every section and key the file
// holds is read back, cut to a buffer size taken from the input, and one
// write is applied, serialised and parsed again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/wide_text.h"
#include "platform/native/profile_text.h"

namespace {

using ztrm::WString;

WString Widen(std::string_view bytes) {
  WString w;
  for (unsigned char c : bytes) w.push_back(static_cast<char16_t>(c));
  return w;
}

std::vector<std::string_view> Split(std::string_view text, char sep) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t at = text.find(sep, start);
    parts.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

void Check(const WString& value, std::size_t units) {
  // The answer always fits the caller's buffer with its terminator.
  if (units == 0 ? !value.empty() : value.size() > units - 1) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string_view file = input, queries;
  std::size_t marker = input.find("\n\x01Q");
  if (marker != std::string_view::npos) {
    file = input.substr(0, marker);
    queries = input.substr(marker + 3);
  }
  std::size_t seed_units = size ? data[size - 1] % 300 : 260;

  ztrm::ProfileDocument doc = ztrm::ParseProfile(file);
  int lines = 0;
  for (std::string_view line : Split(queries, '\n')) {
    if (++lines > 64) break;
    std::vector<std::string_view> parts = Split(line, '\x02');
    auto part = [&](std::size_t i) { return i < parts.size() ? parts[i] : std::string_view(); };
    std::size_t units = 260;
    if (!part(3).empty()) {
      units = 0;
      for (char c : part(3).substr(0, 6)) units = units * 10 + static_cast<unsigned char>(c) % 10;
    }
    WString section = Widen(part(0)), key = Widen(part(1)), def = Widen(part(2));
    Check(ztrm::ReadProfileString(&doc, section, key, def, units), units);
    Check(ztrm::ReadProfileString(nullptr, section, key, def, units), units);
  }
  std::size_t reads = 0;
  for (const ztrm::ProfileSection& s : doc.sections) {
    for (const ztrm::ProfileEntry& e : s.entries) {
      if (++reads > 256) break;
      Check(ztrm::ReadProfileString(&doc, s.name, e.name, u"", seed_units), seed_units);
    }
  }
  ztrm::ProfileDocument changed = doc;
  WString section = doc.sections.empty() ? WString(u"New") : doc.sections.back().name;
  if (ztrm::SetProfileString(changed, section, u"Fuzzed", u" value")) {
    std::string bytes = ztrm::SerializeProfile(changed);
    ztrm::ProfileDocument again = ztrm::ParseProfile(bytes);
    (void)ztrm::ReadProfileString(&again, section, u"Fuzzed", u"", 260);
  }
  return 0;
}
