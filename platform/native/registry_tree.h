// The registry as a tree of keys held in memory: what registry.reg describes
// and NativeRegistry answers from.
//
// Key and value names compare without regard to case; a name keeps the
// spelling it was first given. Subkeys enumerate in Wine 8.0's order: sorted
// without regard to case with letters folded to LOWER case before comparing,
// so "10", "9", "_u", "a", "alpha", "Beta", "Zeta" (measured). Windows is
// believed to fold to UPPER case instead, which puts "_u" after "Zeta"; this
// system replays Wine, so Wine's order it is.
#ifndef ZTRM_PLATFORM_NATIVE_REGISTRY_TREE_H_
#define ZTRM_PLATFORM_NATIVE_REGISTRY_TREE_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/wide_text.h"
#include "platform/registry.h"

namespace ztrm {


// A value as RegSetValueExW stores it: a type and raw bytes (strings as
// UTF-16LE with their terminator).
struct RegistryValue {
  std::uint32_t type = 0;
  std::string data;

  static RegistryValue String(WStringView text, std::uint32_t type = kRegSz);
  static RegistryValue Dword(std::uint32_t value);
};

// Negative, zero or positive as `a` enumerates before, with or after `b`.
int CompareSubkeyNames(WStringView a, WStringView b);

// Splits a key path into its names: runs of '\' count as one and a trailing
// '\' is ignored, as RegOpenKeyExW does; nullopt for a leading '\' (which
// RegOpenKeyExW refuses with ERROR_BAD_PATHNAME). "" gives no names.
std::optional<std::vector<WString>> SplitKeyPath(WStringView path);

class RegistryNode {
 public:
  explicit RegistryNode(WString name) : name_(std::move(name)) {}
  RegistryNode(const RegistryNode&) = delete;
  RegistryNode& operator=(const RegistryNode&) = delete;

  const WString& name() const { return name_; }

  // Subkeys in enumeration order.
  std::size_t SubkeyCount() const { return subkeys_.size(); }
  const RegistryNode& Subkey(std::size_t index) const { return *subkeys_[index]; }
  const RegistryNode* FindSubkey(WStringView name) const;
  // The subkey of that name (any case), made when missing.
  RegistryNode& CreateSubkey(WStringView name);
  // Removes the subkey and everything below it; false when there is none.
  bool DeleteSubkey(WStringView name);

  // The key `names` lead to from here; null when one is missing.
  const RegistryNode* Find(const std::vector<WString>& names) const;

  const RegistryValue* FindValue(WStringView name) const;
  void SetValue(WStringView name, RegistryValue value);
  bool DeleteValue(WStringView name);
  std::size_t ValueCount() const { return values_.size(); }

 private:
  // The position in values_ of the value of that name (any case);
  // values_.size() when there is none.
  std::size_t FindValuePosition(WStringView name) const;

  WString name_;
  std::vector<std::unique_ptr<RegistryNode>> subkeys_;  // kept in enumeration order
  std::vector<std::pair<WString, RegistryValue>> values_;  // in the order first set
  // Every position in values_ under the hash of its name's folded form, so
  // names that compare equal share a hash.
  std::unordered_multimap<std::size_t, std::size_t> value_positions_;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_REGISTRY_TREE_H_
