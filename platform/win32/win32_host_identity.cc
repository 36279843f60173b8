#include "platform/win32/win32_host_identity.h"

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

// These need <windows.h> before them.
#include <objbase.h>
#include <oleauto.h>
#include <wbemidl.h>

namespace ztrm {
namespace {

// Releases what the query obtained, in the reverse order, and balances a
// successful CoInitializeEx, however the query ends.
class WmiSession {
 public:
  WmiSession() = default;
  WmiSession(const WmiSession&) = delete;
  WmiSession& operator=(const WmiSession&) = delete;
  ~WmiSession() {
    if (enumerator) enumerator->Release();
    if (services) services->Release();
    if (locator) locator->Release();
    if (initialized) CoUninitialize();
  }

  bool initialized = false;
  IWbemLocator* locator = nullptr;
  IWbemServices* services = nullptr;
  IEnumWbemClassObject* enumerator = nullptr;
};

// A BSTR argument, allocated as one: WMI may read the length prefix.
class Bstr {
 public:
  explicit Bstr(const wchar_t* text) : value_(SysAllocString(text)) {}
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return value_; }

 private:
  BSTR value_;
};

std::optional<WString> StringProperty(IWbemClassObject* object, const wchar_t* name) {
  VARIANT value;
  VariantInit(&value);
  std::optional<WString> text;
  if (SUCCEEDED(object->Get(name, 0, &value, nullptr, nullptr)) && value.vt == VT_BSTR) {
    text = value.bstrVal ? FromWide(value.bstrVal, SysStringLen(value.bstrVal)) : WString();
  }
  VariantClear(&value);
  return text;
}

}  // namespace

std::optional<std::vector<ComputerSystemInfo>> Win32HostIdentity::QueryComputerSystems() {
  WmiSession session;
  HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  // S_FALSE (already initialized on this thread) also needs its CoUninitialize.
  if (FAILED(hr)) return std::nullopt;
  session.initialized = true;

  // Process-wide security can be set only once. The query runs once per
  // enumeration, every time in the same process, so from the second run on the
  // call fails with RPC_E_TOO_LATE and the settings of the first one stand:
  // that counts as success.
  hr = CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                            RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
  if (FAILED(hr) && hr != RPC_E_TOO_LATE) return std::nullopt;

  hr = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                        reinterpret_cast<void**>(&session.locator));
  if (FAILED(hr) || session.locator == nullptr) return std::nullopt;

  const Bstr name_space(L"ROOT\\CIMV2");
  hr = session.locator->ConnectServer(name_space.get(), nullptr, nullptr, nullptr, 0, nullptr,
                                      nullptr, &session.services);
  if (FAILED(hr) || session.services == nullptr) return std::nullopt;

  hr = CoSetProxyBlanket(session.services, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                         RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
  if (FAILED(hr)) return std::nullopt;

  const Bstr language(L"WQL");
  const Bstr query(L"SELECT * FROM Win32_ComputerSystem");
  hr = session.services->ExecQuery(language.get(), query.get(),
                                   WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                   &session.enumerator);
  if (FAILED(hr) || session.enumerator == nullptr) return std::nullopt;

  std::vector<ComputerSystemInfo> systems;
  for (;;) {
    IWbemClassObject* object = nullptr;
    ULONG returned = 0;
    hr = session.enumerator->Next(WBEM_INFINITE, 1, &object, &returned);
    if (returned == 0 || object == nullptr) break;
    ComputerSystemInfo info;
    info.manufacturer = StringProperty(object, L"Manufacturer");
    info.model = StringProperty(object, L"Model");
    object->Release();
    systems.push_back(std::move(info));
    if (FAILED(hr)) break;
  }
  return systems;
}

}  // namespace ztrm
