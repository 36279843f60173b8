// A registry export ("Windows Registry Editor Version 5.00") of captured keys,
// in the form `regedit /S` imports and the native backend reads: UTF-16LE
// with a byte order mark, CR LF line ends, keys under HKEY_LOCAL_MACHINE in
// the order they were added, each key's values in the order they were set.
#ifndef ZTRM_CAPTURE_REG_EXPORT_H_
#define ZTRM_CAPTURE_REG_EXPORT_H_

#include <cstdint>
#include <string>
#include <vector>

#include "common/wide_text.h"

namespace ztrm {

class RegExport {
 public:
  // Adds the key (path below HKEY_LOCAL_MACHINE) unless it is there already
  // (names compared without regard to ASCII case).
  void AddKey(WStringView path);
  // Sets a value of `path`, adding the key first; a later value of the same
  // name replaces the earlier one in place.
  void SetString(WStringView path, WStringView name, WStringView value);
  void SetDword(WStringView path, WStringView name, std::uint32_t value);
  // A value of any other type: its type number and bytes as stored.
  void SetRaw(WStringView path, WStringView name, std::uint32_t type, const std::string& bytes);
  // A comment line ("; text") before the key's line.
  void Comment(WStringView path, WStringView text);

  // The whole file: the header line, then per key a blank line, its comments,
  // "[HKEY_LOCAL_MACHINE\path]" and its values ("name"="text" with \\ and \"
  // escaped and CR and LF written as \r and \n; "name"=dword:8 hex digits;
  // "name"=hex(N):bytes for the others, hex: for REG_BINARY).
  WString Text() const;
  // Text() as UTF-16LE bytes with a byte order mark.
  std::string FileBytes() const;

 private:
  struct Value {
    WString name;
    bool dword = false;
    WString text;
    std::uint32_t number = 0;
    bool raw = false;
    std::uint32_t type = 0;
    std::string bytes;
  };
  struct Key {
    WString path;
    std::vector<WString> comments;
    std::vector<Value> values;
  };
  Key& FindOrAdd(WStringView path);
  void Set(WStringView path, Value value);
  std::vector<Key> keys_;
};

}  // namespace ztrm

#endif  // ZTRM_CAPTURE_REG_EXPORT_H_
