#include "capture/reg_export.h"

#include "common/wide_format.h"

namespace ztrm {
namespace {

WString Escaped(WStringView text) {
  WString out;
  for (char16_t c : text) {
    if (c == u'\\' || c == u'"') {
      out += u'\\';
      out += c;
    } else if (c == u'\n') {
      out += u"\\n";
    } else if (c == u'\r') {
      out += u"\\r";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

RegExport::Key& RegExport::FindOrAdd(WStringView path) {
  for (Key& key : keys_) {
    if (EqualsIgnoreCase(key.path, path)) return key;
  }
  keys_.push_back(Key{WString(path), {}, {}});
  return keys_.back();
}

void RegExport::AddKey(WStringView path) { FindOrAdd(path); }

void RegExport::Set(WStringView path, Value value) {
  Key& key = FindOrAdd(path);
  for (Value& old : key.values) {
    if (EqualsIgnoreCase(old.name, value.name)) {
      value.name = old.name;
      old = value;
      return;
    }
  }
  key.values.push_back(std::move(value));
}

void RegExport::SetString(WStringView path, WStringView name, WStringView value) {
  Set(path, Value{WString(name), false, WString(value), 0});
}

void RegExport::SetDword(WStringView path, WStringView name, std::uint32_t value) {
  Set(path, Value{WString(name), true, WString(), value});
}

void RegExport::SetRaw(WStringView path, WStringView name, std::uint32_t type,
                       const std::string& bytes) {
  Set(path, Value{WString(name), false, WString(), 0, true, type, bytes});
}

void RegExport::Comment(WStringView path, WStringView text) {
  FindOrAdd(path).comments.push_back(WString(text));
}

WString RegExport::Text() const {
  WString out = u"Windows Registry Editor Version 5.00\r\n";
  for (const Key& key : keys_) {
    out += u"\r\n";
    for (const WString& comment : key.comments) out += u"; " + comment + u"\r\n";
    out += u"[HKEY_LOCAL_MACHINE\\" + key.path + u"]\r\n";
    for (const Value& value : key.values) {
      out += u"\"" + Escaped(value.name) + u"\"=";
      if (value.dword) {
        out += FormatWide(u"dword:%.8x", value.number);
      } else if (value.raw) {
        out += value.type == 3 ? WString(u"hex:") : FormatWide(u"hex(%x):", value.type);
        for (std::size_t i = 0; i < value.bytes.size(); ++i) {
          out += FormatWide(i == 0 ? u"%.2x" : u",%.2x",
                            static_cast<unsigned char>(value.bytes[i]));
        }
      } else {
        out += u"\"" + Escaped(value.text) + u"\"";
      }
      out += u"\r\n";
    }
  }
  return out;
}

std::string RegExport::FileBytes() const {
  WString text = Text();
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

}  // namespace ztrm
