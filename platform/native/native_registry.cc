#include "platform/native/native_registry.h"

#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

#include "platform/native/reg_file.h"

namespace ztrm {

struct NativeRegistry::State {
  std::mutex mutex;
  std::unique_ptr<RegistryNode> root = std::make_unique<RegistryNode>(u"HKEY_LOCAL_MACHINE");
};

namespace {

class NativeRegistryKey : public RegistryKey {
 public:
  NativeRegistryKey(std::shared_ptr<NativeRegistry::State> state, std::vector<WString> names)
      : state_(std::move(state)), names_(std::move(names)) {}

  std::optional<std::uint32_t> SubkeyCount() override {
    std::lock_guard<std::mutex> lock(state_->mutex);
    const RegistryNode* node = Node();
    if (!node) return std::nullopt;
    return static_cast<std::uint32_t>(node->SubkeyCount());
  }

  std::optional<WString> SubkeyName(std::uint32_t index) override {
    std::lock_guard<std::mutex> lock(state_->mutex);
    const RegistryNode* node = Node();
    if (!node || index >= node->SubkeyCount()) return std::nullopt;
    return node->Subkey(index).name();
  }

  std::optional<RawRegistryValue> RawValue(WStringView name) override {
    std::lock_guard<std::mutex> lock(state_->mutex);
    const RegistryValue* value = Value(name);
    if (!value) return std::nullopt;
    return RawRegistryValue{value->type, value->data};
  }

 private:
  const RegistryNode* Node() const { return state_->root->Find(names_); }

  const RegistryValue* Value(WStringView name) const {
    const RegistryNode* node = Node();
    return node ? node->FindValue(name) : nullptr;
  }

  std::shared_ptr<NativeRegistry::State> state_;
  std::vector<WString> names_;
};

}  // namespace

NativeRegistry::NativeRegistry(std::string reg_file_path)
    : reg_file_path_(std::move(reg_file_path)), state_(std::make_shared<State>()) {
  Reload();
}

NativeRegistry::~NativeRegistry() = default;

void NativeRegistry::Reload() {
  auto root = std::make_unique<RegistryNode>(u"HKEY_LOCAL_MACHINE");
  std::ifstream in(reg_file_path_, std::ios::binary);
  if (in) {
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ApplyRegFile(bytes, *root);
  }
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->root.swap(root);
}

std::unique_ptr<RegistryKey> NativeRegistry::OpenLocalMachineKey(WStringView path) {
  std::optional<std::vector<WString>> names = SplitKeyPath(path);
  if (!names) return nullptr;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (!state_->root->Find(*names)) return nullptr;
  }
  return std::make_unique<NativeRegistryKey>(state_, std::move(*names));
}

}  // namespace ztrm
