#include "platform/win32/win32_version_info.h"

#include <cstring>
#include <vector>

#include "platform/win32/win32_windows.h"

namespace ztrm {

std::optional<FileVersion> Win32VersionInfo::OwnFileVersion() {
  // RT_VERSION spelled in its wide form, whether or not UNICODE is defined.
  HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16));
  if (resource == nullptr) return std::nullopt;
  const DWORD size = SizeofResource(nullptr, resource);
  HGLOBAL loaded = LoadResource(nullptr, resource);
  if (loaded == nullptr || size == 0) return std::nullopt;
  const void* data = LockResource(loaded);
  if (data == nullptr) return std::nullopt;
  // VerQueryValueW may write into the block (it converts in place behind the
  // data, as GetFileVersionInfoW leaves room for), and the mapped resource is
  // read-only: query a writable copy twice the size instead.
  std::vector<BYTE> block(static_cast<std::size_t>(size) * 2, 0);
  std::memcpy(block.data(), data, size);
  void* fixed = nullptr;
  UINT fixed_size = 0;
  if (!VerQueryValueW(block.data(), L"\\", &fixed, &fixed_size) || fixed == nullptr ||
      fixed_size < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  const VS_FIXEDFILEINFO* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  FileVersion version;
  version.ms = info->dwFileVersionMS;
  version.ls = info->dwFileVersionLS;
  return version;
}

}  // namespace ztrm
