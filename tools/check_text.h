// Text of ztrm-check's reports: quoting a wide value, and a small JSON value
// tree with its printer.
#ifndef ZTRM_TOOLS_CHECK_TEXT_H_
#define ZTRM_TOOLS_CHECK_TEXT_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/wide_text.h"

namespace ztrm {

// A JSON string of the UTF-8 form of `text`, with its double quotes: '"' and
// '\' escaped, control characters as \u00XX, everything else as it is. The
// text report quotes values the same way, so a value's edges and odd
// characters stay visible.
std::string Quoted(WStringView text);
std::string Quoted(const std::string& utf8);

class Json {
 public:
  static Json Null() { return Json(Kind::kNull); }
  static Json Number(std::int64_t n) {
    Json j(Kind::kNumber);
    j.number_ = n;
    return j;
  }
  static Json String(WStringView s) { return Utf8String(ToUtf8(s)); }
  static Json Utf8String(std::string s) {
    Json j(Kind::kString);
    j.text_ = std::move(s);
    return j;
  }
  static Json Object() { return Json(Kind::kObject); }
  static Json Array() { return Json(Kind::kArray); }

  Json& Set(std::string key, Json value) {
    members_.emplace_back(std::move(key), std::move(value));
    return *this;
  }
  Json& Add(Json value) {
    items_.push_back(std::move(value));
    return *this;
  }

  // Two blanks of indent a level; an empty array or object as [] or {}.
  std::string Print(int indent = 0) const;

 private:
  enum class Kind { kNull, kNumber, kString, kObject, kArray };
  explicit Json(Kind kind) : kind_(kind) {}

  Kind kind_;
  std::int64_t number_ = 0;
  std::string text_;
  std::vector<std::pair<std::string, Json>> members_;
  std::vector<Json> items_;
};

}  // namespace ztrm

#endif  // ZTRM_TOOLS_CHECK_TEXT_H_
