// The text formats shared by the Win32 profile probe and the native reader's
// corpus test, so that both print answers a plain `diff` can compare.
//
// Every file here is ASCII and tab-separated, one record a line; lines that
// are empty or start with '#' are skipped. Inside a field:
//   \\  backslash        \t  tab        \r  CR        \n  LF        \0  NUL
//   \uXXXX  any other UTF-16 code unit outside 0x20..0x7E (four hex digits)
//   \(N)c   the printable character c repeated N times, for long values
// An empty field is the empty string.
//
// Header-only and free of the product's code: the probe is a plain Win32
// program.
#ifndef ZTRM_TESTS_PROFILE_CORPUS_PROBE_FORMAT_H_
#define ZTRM_TESTS_PROFILE_CORPUS_PROBE_FORMAT_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace probe_format {

inline int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decodes one field; an escape it does not know is kept as it stands.
inline std::u16string Unescape(std::string_view field) {
  std::u16string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    char c = field[i];
    if (c != '\\' || i + 1 == field.size()) {
      out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
      continue;
    }
    char e = field[i + 1];
    if (e == '\\') { out.push_back(u'\\'); ++i; continue; }
    if (e == 't') { out.push_back(u'\t'); ++i; continue; }
    if (e == 'r') { out.push_back(u'\r'); ++i; continue; }
    if (e == 'n') { out.push_back(u'\n'); ++i; continue; }
    if (e == '0') { out.push_back(u'\0'); ++i; continue; }
    if (e == 'u' && i + 5 < field.size()) {
      int value = 0;
      bool ok = true;
      for (std::size_t k = 2; ok && k < 6; ++k) {
        int d = HexDigit(field[i + k]);
        if (d < 0) ok = false;
        value = value * 16 + d;
      }
      if (ok) {
        out.push_back(static_cast<char16_t>(value));
        i += 5;
        continue;
      }
    }
    if (e == '(') {
      std::size_t close = field.find(')', i + 2);
      if (close != std::string_view::npos && close + 1 < field.size() && close > i + 2) {
        std::size_t count = 0;
        bool ok = true;
        for (std::size_t k = i + 2; k < close; ++k) {
          if (field[k] < '0' || field[k] > '9') ok = false;
          else count = count * 10 + static_cast<std::size_t>(field[k] - '0');
        }
        if (ok) {
          out.append(count, static_cast<char16_t>(static_cast<unsigned char>(field[close + 1])));
          i = close + 1;
          continue;
        }
      }
    }
    out.push_back(u'\\');
  }
  return out;
}

// Encodes a value for printing: plain ASCII, no tabs or line ends, runs of
// more than 8 equal printable characters written as \(N)c.
inline std::string Escape(std::u16string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= 0x20 && c <= 0x7E && c != u'\\') {
      std::size_t run = 1;
      while (i + run < text.size() && text[i + run] == c) ++run;
      if (run > 8 && c != u'(' && c != u')') {
        out += "\\(" + std::to_string(run) + ")";
        out.push_back(static_cast<char>(c));
        i += run - 1;
      } else {
        out.push_back(static_cast<char>(c));
      }
      continue;
    }
    switch (c) {
      case u'\\': out += "\\\\"; break;
      case u'\t': out += "\\t"; break;
      case u'\r': out += "\\r"; break;
      case u'\n': out += "\\n"; break;
      case u'\0': out += "\\0"; break;
      default:
        out += "\\u";
        out.push_back(kHex[(c >> 12) & 0xF]);
        out.push_back(kHex[(c >> 8) & 0xF]);
        out.push_back(kHex[(c >> 4) & 0xF]);
        out.push_back(kHex[c & 0xF]);
    }
  }
  return out;
}

// The records of a tab-separated file: fields still escaped.
inline std::vector<std::vector<std::string>> SplitRecords(std::string_view bytes) {
  std::vector<std::vector<std::string>> records;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    start = end + 1;
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::size_t field_start = 0;
    while (true) {
      std::size_t tab = line.find('\t', field_start);
      fields.emplace_back(line.substr(field_start, tab == std::string_view::npos
                                                       ? std::string_view::npos
                                                       : tab - field_start));
      if (tab == std::string_view::npos) break;
      field_start = tab + 1;
    }
    records.push_back(std::move(fields));
  }
  return records;
}

// "3=1,7=2": slot values of the chassis ID table; slots not named are 0.
inline std::vector<unsigned> TableSlots(std::string_view items) {
  std::vector<unsigned> slots(256, 0);
  std::size_t i = 0;
  while (i < items.size()) {
    std::size_t comma = items.find(',', i);
    if (comma == std::string_view::npos) comma = items.size();
    std::string_view item = items.substr(i, comma - i);
    std::size_t eq = item.find('=');
    if (eq != std::string_view::npos) {
      unsigned slot = static_cast<unsigned>(std::stoul(std::string(item.substr(0, eq))));
      unsigned value = static_cast<unsigned>(std::stoul(std::string(item.substr(eq + 1))));
      if (slot < slots.size()) slots[slot] = value;
    }
    i = comma + 1;
  }
  return slots;
}

}  // namespace probe_format

#endif  // ZTRM_TESTS_PROFILE_CORPUS_PROBE_FORMAT_H_
