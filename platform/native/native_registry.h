// Registry over IMAGE/registry.reg (see reg_file.h for what is read and
// registry_tree.h for names and order). A missing or unreadable file is an
// empty registry. The file is read when the object is made and again on
// Reload(), so a test can change the machine between two polls.
//
// A key holds its path, not the data: every call looks the key up again, so
// an open key sees a reload, and fails like a deleted key once its path is
// gone. This is the 64-bit view: "SOFTWARE\Wow6432Node\..." is an ordinary
// path, as a 64-bit process on Windows sees it.
//
// RegistryKey answers: SubkeyCount the number of direct subkeys; SubkeyName
// the whole name (the core applies the buffer rule); StringValue the text of
// a REG_SZ or REG_EXPAND_SZ value less the NULs at its end (a NUL inside stays,
// an odd last byte is a unit of its own), as the Win32 backend reads it;
// DwordValue a REG_DWORD of exactly four bytes. Paths: runs of '\' count as one, a trailing '\' is
// ignored, a leading '\' fails, "" is HKEY_LOCAL_MACHINE itself.
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_REGISTRY_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_REGISTRY_H_

#include <memory>
#include <string>

#include "platform/native/registry_tree.h"
#include "platform/registry.h"

namespace ztrm {

class NativeRegistry : public Registry {
 public:
  explicit NativeRegistry(std::string reg_file_path);
  ~NativeRegistry() override;

  // Reads registry.reg again; keys already open see the new content.
  void Reload();

  std::unique_ptr<RegistryKey> OpenLocalMachineKey(WStringView path) override;

  struct State;

 private:
  std::string reg_file_path_;
  std::shared_ptr<State> state_;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_REGISTRY_H_
