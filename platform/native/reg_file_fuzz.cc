// Fuzz target: the .reg reader over any bytes, then the tree it built walked
// and asked for every value, as the native registry does.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/native/reg_file.h"
#include "platform/native/registry_tree.h"

namespace {

std::size_t Walk(const ztrm::RegistryNode& node, int depth) {
  std::size_t n = 1;
  if (depth > 600) __builtin_trap();  // the reader bounds the depth at 512 levels
  for (std::size_t i = 0; i < node.SubkeyCount(); ++i) n += Walk(node.Subkey(i), depth + 1);
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ztrm::RegistryNode root(u"HKEY_LOCAL_MACHINE");
  ztrm::ApplyRegFile(std::string_view(reinterpret_cast<const char*>(data), size), root);
  Walk(root, 0);
  return 0;
}
