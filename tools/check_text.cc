#include "tools/check_text.h"

#include <cstdio>

namespace ztrm {

std::string Quoted(const std::string& utf8) {
  std::string out = "\"";
  for (char c : utf8) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20 || u == 0x7F) {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04X", u);
      out += buffer;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Quoted(WStringView text) { return Quoted(ToUtf8(text)); }

std::string Json::Print(int indent) const {
  const std::string pad(static_cast<std::size_t>(indent + 1) * 2, ' ');
  const std::string end_pad(static_cast<std::size_t>(indent) * 2, ' ');
  switch (kind_) {
    case Kind::kNull:
      return "null";
    case Kind::kNumber:
      return std::to_string(number_);
    case Kind::kString:
      return Quoted(text_);
    case Kind::kObject: {
      if (members_.empty()) return "{}";
      std::string out = "{\n";
      for (std::size_t i = 0; i < members_.size(); ++i) {
        out += pad + Quoted(members_[i].first) + ": " + members_[i].second.Print(indent + 1);
        out += i + 1 < members_.size() ? ",\n" : "\n";
      }
      return out + end_pad + "}";
    }
    case Kind::kArray: {
      if (items_.empty()) return "[]";
      std::string out = "[\n";
      for (std::size_t i = 0; i < items_.size(); ++i) {
        out += pad + items_[i].Print(indent + 1);
        out += i + 1 < items_.size() ? ",\n" : "\n";
      }
      return out + end_pad + "]";
    }
  }
  return "null";
}

}  // namespace ztrm
