#include "platform/native/registry_tree.h"

#include <algorithm>

#include "platform/native/name_folding.h"

namespace ztrm {
namespace {

// FNV-1a over the upper case forms NamesEqualIgnoreCase compares.
std::size_t FoldedNameHash(WStringView name) {
  std::uint64_t hash = 14695981039346656037ull;
  for (char16_t c : name) {
    hash = (hash ^ NameFoldUpper(c)) * 1099511628211ull;
  }
  return static_cast<std::size_t>(hash);
}

}  // namespace

RegistryValue RegistryValue::String(WStringView text, std::uint32_t type) {
  RegistryValue value;
  value.type = type;
  for (char16_t c : text) {
    value.data.push_back(static_cast<char>(c & 0xFF));
    value.data.push_back(static_cast<char>(c >> 8));
  }
  value.data.append(2, '\0');
  return value;
}

RegistryValue RegistryValue::Dword(std::uint32_t number) {
  RegistryValue value;
  value.type = kRegDword;
  for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<char>((number >> (8 * i)) & 0xFF));
  return value;
}

int CompareSubkeyNames(WStringView a, WStringView b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    char16_t x = NameFoldLower(a[i]), y = NameFoldLower(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::optional<std::vector<WString>> SplitKeyPath(WStringView path) {
  if (!path.empty() && path[0] == u'\\') return std::nullopt;
  std::vector<WString> names;
  while (!path.empty()) {
    std::size_t sep = path.find(u'\\');
    WStringView part = path.substr(0, sep);
    if (!part.empty()) names.emplace_back(part);
    if (sep == WStringView::npos) break;
    path.remove_prefix(sep + 1);
  }
  return names;
}

const RegistryNode* RegistryNode::FindSubkey(WStringView name) const {
  for (const auto& sub : subkeys_) {
    if (NamesEqualIgnoreCase(sub->name(), name)) return sub.get();
  }
  return nullptr;
}

RegistryNode& RegistryNode::CreateSubkey(WStringView name) {
  for (auto& sub : subkeys_) {
    if (NamesEqualIgnoreCase(sub->name(), name)) return *sub;
  }
  auto at = std::upper_bound(subkeys_.begin(), subkeys_.end(), name,
                             [](WStringView n, const std::unique_ptr<RegistryNode>& sub) {
                               return CompareSubkeyNames(n, sub->name()) < 0;
                             });
  return **subkeys_.insert(at, std::make_unique<RegistryNode>(WString(name)));
}

bool RegistryNode::DeleteSubkey(WStringView name) {
  for (auto it = subkeys_.begin(); it != subkeys_.end(); ++it) {
    if (NamesEqualIgnoreCase((*it)->name(), name)) {
      subkeys_.erase(it);
      return true;
    }
  }
  return false;
}

const RegistryNode* RegistryNode::Find(const std::vector<WString>& names) const {
  const RegistryNode* node = this;
  for (const WString& name : names) {
    node = node->FindSubkey(name);
    if (!node) return nullptr;
  }
  return node;
}

std::size_t RegistryNode::FindValuePosition(WStringView name) const {
  auto [it, end] = value_positions_.equal_range(FoldedNameHash(name));
  for (; it != end; ++it) {
    if (NamesEqualIgnoreCase(values_[it->second].first, name)) return it->second;
  }
  return values_.size();
}

const RegistryValue* RegistryNode::FindValue(WStringView name) const {
  const std::size_t at = FindValuePosition(name);
  return at < values_.size() ? &values_[at].second : nullptr;
}

void RegistryNode::SetValue(WStringView name, RegistryValue value) {
  const std::size_t at = FindValuePosition(name);
  if (at < values_.size()) {
    values_[at].second = std::move(value);  // the first spelling stays
    return;
  }
  values_.emplace_back(WString(name), std::move(value));
  value_positions_.emplace(FoldedNameHash(name), at);
}

bool RegistryNode::DeleteValue(WStringView name) {
  const std::size_t at = FindValuePosition(name);
  if (at == values_.size()) return false;
  values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(at));
  // The values after it moved up one place.
  value_positions_.clear();
  for (std::size_t i = 0; i < values_.size(); ++i) {
    value_positions_.emplace(FoldedNameHash(values_[i].first), i);
  }
  return true;
}

}  // namespace ztrm
