#include "platform/win32/win32_profile_files.h"

#include <vector>

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

namespace ztrm {

WString Win32ProfileFiles::ReadString(WStringView file, WStringView section, WStringView key,
                                      WStringView default_value, std::size_t buffer_units) {
  const WString file_z = Terminated(file);
  const WString section_z = Terminated(section);
  const WString key_z = Terminated(key);
  const WString default_z = Terminated(default_value);
  // The function is given exactly the caller's buffer size, because how it
  // cuts a value that does not fit is part of what the caller relies on. The
  // vector has one unit more so that a size of 0 still has valid storage.
  const DWORD units = buffer_units > MAXDWORD ? MAXDWORD : static_cast<DWORD>(buffer_units);
  std::vector<wchar_t> buffer(static_cast<std::size_t>(units) + 1, L'\0');
  DWORD copied = GetPrivateProfileStringW(AsWide(section_z.c_str()), AsWide(key_z.c_str()),
                                          AsWide(default_z.c_str()), buffer.data(), units,
                                          AsWide(file_z.c_str()));
  if (copied > units) copied = units;
  return FromWide(buffer.data(), copied);
}

bool Win32ProfileFiles::WriteString(WStringView file, WStringView section, WStringView key,
                                    WStringView value) {
  const WString file_z = Terminated(file);
  const WString section_z = Terminated(section);
  const WString key_z = Terminated(key);
  const WString value_z = Terminated(value);
  return WritePrivateProfileStringW(AsWide(section_z.c_str()), AsWide(key_z.c_str()),
                                    AsWide(value_z.c_str()), AsWide(file_z.c_str())) != FALSE;
}

}  // namespace ztrm
