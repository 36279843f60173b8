#include "platform/native/reg_file.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/native/cp1252.h"
#include "platform/native/name_folding.h"

namespace ztrm {
namespace {

constexpr std::size_t kMaxKeyNameUnits = 256;
constexpr std::size_t kMaxKeyDepth = 512;

// regedit tells the two kinds of file apart by their first two bytes alone:
// FF FE is UTF-16LE, anything else is text in the ANSI code page (1252), a
// UTF-8 byte order mark included (it then spoils the header).
struct DecodedFile {
  WString text;
  bool unicode = false;
};

DecodedFile DecodeFile(std::string_view bytes) {
  DecodedFile file;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    file.unicode = true;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      file.text.push_back(
          static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return file;
  }
  file.text = DecodeWindows1252(bytes);
  return file;
}

bool IsStringType(std::uint32_t type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// What regedit makes of the bytes of a hex(1), hex(2) or hex(7) value before
// storing them. In a UTF-16 file the bytes are UTF-16 already and get a
// terminator unit when the last whole unit is not 0 (written over an odd
// last byte, which leaves one byte after it that regedit never set: 0 here).
// In an 8-bit file they are ANSI text, one character a byte: a 0 byte is
// added when the last is not 0, then every byte becomes its UTF-16 unit. No
// bytes at all (a comment right after "hex(N):", or a '\' and then the end
// of the file), or a single byte in a UTF-16 file, make regedit read far
// outside its buffer and crash: false then.
bool PrepareStringData(std::string& data, bool unicode) {
  if (unicode) {
    std::size_t units = data.size() / 2;
    if (units == 0) return false;
    if (data[2 * units - 2] != 0 || data[2 * units - 1] != 0) {
      bool odd = data.size() % 2 != 0;
      data.resize(2 * units);
      data.append(odd ? 3 : 2, '\0');
    }
    return true;
  }
  if (data.empty()) return false;
  if (data.back() != 0) data.push_back('\0');
  std::string wide;
  for (char16_t unit : DecodeWindows1252(data)) {
    wide.push_back(static_cast<char>(unit & 0xFF));
    wide.push_back(static_cast<char>(unit >> 8));
  }
  data = std::move(wide);
  return true;
}

std::vector<WStringView> SplitLines(WStringView text) {
  std::vector<WStringView> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r' && text[i] != u'\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

WStringView SkipBlanks(WStringView s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

// Only blanks, optionally followed by a ';' comment.
bool IsEmptyRest(WStringView s) {
  s = SkipBlanks(s);
  return s.empty() || s.front() == u';';
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

enum class Quoted { kOk, kBad, kEndOfImport };

// Reads a quoted string at the start of `s` (which starts with '"'); leaves
// `s` after the closing quote.
Quoted ReadQuoted(WStringView& s, WString& out) {
  out.clear();
  std::size_t i = 1;
  while (i < s.size()) {
    char16_t c = s[i];
    if (c == u'"') {
      s.remove_prefix(i + 1);
      return Quoted::kOk;
    }
    if (c == u'\\' && i + 1 < s.size()) {
      char16_t e = s[i + 1];
      if (e == u'0') return Quoted::kEndOfImport;
      out.push_back(e == u'n' ? u'\n' : e == u'r' ? u'\r' : e);
      i += 2;
      continue;
    }
    out.push_back(c);
    ++i;
  }
  return Quoted::kBad;
}

class Importer {
 public:
  Importer(std::vector<WStringView> lines, bool unicode, RegistryNode& root)
      : lines_(std::move(lines)), unicode_(unicode), root_(root) {}

  void Run() {
    if (lines_.empty()) return;
    WStringView header = SkipBlanks(lines_[0]);
    if (header != u"Windows Registry Editor Version 5.00" && header != u"REGEDIT4") return;
    for (next_ = 1; next_ < lines_.size() && !ended_;) {
      WStringView line = SkipBlanks(lines_[next_++]);
      if (line.empty() || line.front() == u';' || line.front() == u'#') continue;
      if (line.front() == u'[') {
        KeyLine(line);
      } else if (line.front() == u'"' || line.front() == u'@') {
        ValueLine(line);
      }
    }
  }

 private:
  void KeyLine(WStringView line) {
    std::size_t close = line.rfind(u']');
    if (close == WStringView::npos) return;  // not a key line: the open key stays
    WStringView path = line.substr(1, close - 1);
    bool remove = !path.empty() && path.front() == u'-';
    if (remove) path.remove_prefix(1);
    key_ = nullptr;

    std::size_t sep = path.find(u'\\');
    if (!NamesEqualIgnoreCase(path.substr(0, sep), u"HKEY_LOCAL_MACHINE")) return;
    WStringView below = sep == WStringView::npos ? WStringView() : path.substr(sep + 1);
    while (!below.empty() && below.front() == u'\\') below.remove_prefix(1);
    std::optional<std::vector<WString>> names = SplitKeyPath(below);
    if (!names) return;

    if (remove) {
      if (names->empty()) return;
      WString last = names->back();
      names->pop_back();
      RegistryNode* parent = Walk(*names, false);
      if (parent) parent->DeleteSubkey(last);
      return;
    }
    key_ = Walk(*names, true);
  }

  // The key `names` lead to, made as needed when `create`; null when one
  // cannot be made or is missing.
  RegistryNode* Walk(const std::vector<WString>& names, bool create) {
    RegistryNode* node = &root_;
    std::size_t depth = 0;
    for (const WString& name : names) {
      if (name.size() > kMaxKeyNameUnits || ++depth > kMaxKeyDepth) return nullptr;
      if (create) {
        node = &node->CreateSubkey(name);
      } else {
        node = const_cast<RegistryNode*>(node->FindSubkey(name));
        if (!node) return nullptr;
      }
    }
    return node;
  }

  void ValueLine(WStringView line) {
    WString name;
    if (line.front() == u'@') {
      line.remove_prefix(1);
    } else {
      Quoted q = ReadQuoted(line, name);
      if (q == Quoted::kEndOfImport) {
        ended_ = true;
        return;
      }
      if (q == Quoted::kBad) return;
    }
    line = SkipBlanks(line);
    if (line.empty() || line.front() != u'=') return;
    line = SkipBlanks(line.substr(1));

    std::optional<RegistryValue> value;
    bool remove = false;
    if (!line.empty() && line.front() == u'"') {
      WString text;
      Quoted q = ReadQuoted(line, text);
      if (q == Quoted::kEndOfImport) {
        ended_ = true;
        return;
      }
      if (q == Quoted::kBad || !IsEmptyRest(line)) return;
      value = RegistryValue::String(text);
    } else if (!line.empty() && line.front() == u'-') {
      if (!IsEmptyRest(line.substr(1))) return;
      remove = true;
    } else if (line.substr(0, 6) == u"dword:") {
      value = Dword(SkipBlanks(line.substr(6)));
    } else if (line.substr(0, 3) == u"hex") {
      value = Hex(line.substr(3));
      if (ended_) return;
    }
    if (!key_) return;
    if (remove) {
      key_->DeleteValue(name);
    } else if (value) {
      key_->SetValue(name, std::move(*value));
    }
  }

  static std::optional<RegistryValue> Dword(WStringView s) {
    std::uint32_t number = 0;
    std::size_t digits = 0;
    while (digits < s.size() && HexValue(s[digits]) >= 0) {
      number = number * 16 + static_cast<std::uint32_t>(HexValue(s[digits]));
      ++digits;
    }
    if (digits == 0 || digits > 8 || !IsEmptyRest(s.substr(digits))) return std::nullopt;
    return RegistryValue::Dword(number);
  }

  // `s` follows "hex": an optional "(N)", then ':' and the bytes. Sets
  // `ended_` where regedit would crash on the value.
  std::optional<RegistryValue> Hex(WStringView s) {
    bool as_written = false;
    std::optional<RegistryValue> value = HexBytes(s, as_written);
    if (!value || as_written || !IsStringType(value->type)) return value;
    if (!PrepareStringData(value->data, unicode_)) {
      ended_ = true;
      return std::nullopt;
    }
    return value;
  }

  // The value with the bytes as written. Nothing but blanks after the ':'
  // gives an empty value that regedit stores as it is (`as_written`).
  std::optional<RegistryValue> HexBytes(WStringView s, bool& as_written) {
    RegistryValue value;
    value.type = kRegBinary;
    if (!s.empty() && s.front() == u'(') {
      std::size_t close = s.find(u')');
      if (close == WStringView::npos || close == 1 || close > 9) return std::nullopt;
      std::uint32_t type = 0;
      for (std::size_t i = 1; i < close; ++i) {
        if (HexValue(s[i]) < 0) return std::nullopt;
        type = type * 16 + static_cast<std::uint32_t>(HexValue(s[i]));
      }
      value.type = type;
      s.remove_prefix(close + 1);
    }
    if (s.empty() || s.front() != u':') return std::nullopt;
    s.remove_prefix(1);
    if (SkipBlanks(s).empty()) {
      as_written = true;
      return value;
    }
    for (;;) {
      // One byte: 1 or 2 hex digits.
      std::size_t digits = 0;
      int byte = 0;
      while (digits < s.size() && digits < 2 && HexValue(s[digits]) >= 0) {
        byte = byte * 16 + HexValue(s[digits]);
        ++digits;
      }
      if (digits > 0) {
        value.data.push_back(static_cast<char>(byte));
        s.remove_prefix(digits);
        if (!s.empty() && s.front() == u',') {
          s.remove_prefix(1);
          if (!s.empty() && !IsBlank(s.front()) && s.front() != u';' && s.front() != u'\\')
            continue;
        } else if (!s.empty() && !IsBlank(s.front()) && s.front() != u';' && s.front() != u'\\') {
          return std::nullopt;
        }
      }
      WStringView rest = SkipBlanks(s);
      if (rest.empty() || rest.front() == u';') return value;
      if (rest.front() != u'\\' || !SkipBlanks(rest.substr(1)).empty()) return std::nullopt;
      // Continued on the next line that is neither blank nor a comment; the
      // end of the file ends the value.
      s = WStringView();
      while (next_ < lines_.size()) {
        WStringView line = SkipBlanks(lines_[next_++]);
        if (line.empty() || line.front() == u';') continue;
        s = line;
        break;
      }
      if (s.empty()) return value;
    }
  }

  std::vector<WStringView> lines_;
  bool unicode_;
  RegistryNode& root_;
  RegistryNode* key_ = nullptr;
  std::size_t next_ = 0;
  bool ended_ = false;
};

}  // namespace

void ApplyRegFile(std::string_view file_bytes, RegistryNode& local_machine) {
  DecodedFile file = DecodeFile(file_bytes);
  Importer(SplitLines(file.text), file.unicode, local_machine).Run();
}

}  // namespace ztrm
