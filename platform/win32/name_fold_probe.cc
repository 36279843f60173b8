// name_fold_probe.exe: measures how Wine (or Windows) folds the case of file
// and registry names, and writes platform/native/name_folding_table.cc from
// it. Run under Wine 8.0 in a scratch prefix:
//
//   name_fold_probe.exe OUT.cc
//
// The table comes from RtlUpcaseUnicodeChar and RtlDowncaseUnicodeChar for
// every UTF-16 unit. Then, for every unit with another case form, it checks
// that the file system and the registry fold the same way: in a folder of its
// own it makes two files, the unit and its other form each followed by a
// digit chosen so that the folded order is the reverse of the plain one, and
// checks the listing order, opening one by the other's spelling, and the
// order of two registry keys made the same way (under HKCU\Software). Any
// pair that disagrees is printed and the exit code is 1. A plain Win32
// program: it shares nothing with the native side.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using CaseFunction = WCHAR(WINAPI*)(WCHAR);

void MakeFile(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

// Whether `c` and `other` compare equal when the file system and the
// registry fold them: 1 bit listing, 2 bit opening, 4 bit registry.
int FoldedAlike(const std::wstring& folder, HKEY root, int index, WCHAR c, WCHAR other) {
  // Folded, c+d_c and other+d_o order by the digits; plain, by c and other.
  const bool c_first_plain = c < other;
  const WCHAR d_c = c_first_plain ? L'1' : L'0', d_o = c_first_plain ? L'0' : L'1';
  const std::wstring dir = folder + L"\\" + std::to_wstring(index);
  CreateDirectoryW(dir.c_str(), nullptr);
  MakeFile(dir + L"\\" + c + d_c);
  MakeFile(dir + L"\\" + other + d_o);
  int result = 0;

  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
  WCHAR first = 0;
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (data.cFileName[0] != L'.') {
        first = data.cFileName[0];
        break;
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  if ((first == c) != c_first_plain) result |= 1;

  HANDLE file = CreateFileW((dir + L"\\" + other + d_c).c_str(), GENERIC_READ, FILE_SHARE_READ,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    result |= 2;
  }

  HKEY sub = nullptr, key = nullptr;
  if (RegCreateKeyW(root, std::to_wstring(index).c_str(), &sub) == ERROR_SUCCESS) {
    const std::wstring a{c, d_c}, b{other, d_o};
    if (RegCreateKeyW(sub, a.c_str(), &key) == ERROR_SUCCESS) RegCloseKey(key);
    if (RegCreateKeyW(sub, b.c_str(), &key) == ERROR_SUCCESS) RegCloseKey(key);
    WCHAR name[16];
    DWORD length = 16;
    if (RegEnumKeyExW(sub, 0, name, &length, nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS &&
        (name[0] == c) != c_first_plain) {
      result |= 4;
    }
    RegCloseKey(sub);
  }
  return result;
}

void WritePairs(std::FILE* out, const char* name, const std::vector<std::pair<int, int>>& pairs) {
  std::fprintf(out, "const CasePair %s[] = {\n", name);
  std::string line = "   ";
  for (const auto& p : pairs) {
    char item[32];
    std::snprintf(item, sizeof item, " {0x%04X, 0x%04X},", p.first, p.second);
    if (line.size() + std::string(item).size() > 100) {
      std::fprintf(out, "%s\n", line.c_str());
      line = "   ";
    }
    line += item;
  }
  std::fprintf(out, "%s\n};\n", line.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: name_fold_probe.exe OUT.cc\n");
    return 2;
  }
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  // Through void*: FARPROC has no parameters, so a direct cast warns.
  auto upper = reinterpret_cast<CaseFunction>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlUpcaseUnicodeChar")));
  auto lower = reinterpret_cast<CaseFunction>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlDowncaseUnicodeChar")));
  if (!upper || !lower) return 2;

  std::vector<std::pair<int, int>> uppers, lowers;
  for (int c = 0; c < 0x10000; ++c) {
    WCHAR u = upper(static_cast<WCHAR>(c)), l = lower(static_cast<WCHAR>(c));
    if (u != c) uppers.emplace_back(c, u);
    if (l != c) lowers.emplace_back(c, l);
  }

  const std::wstring folder = L"C:\\name_fold_probe";
  CreateDirectoryW(folder.c_str(), nullptr);
  HKEY root = nullptr;
  if (RegCreateKeyW(HKEY_CURRENT_USER, L"Software\\name_fold_probe", &root) != ERROR_SUCCESS) {
    return 2;
  }
  int disagreements = 0, index = 0;
  for (const auto& p : uppers) {
    int alike = FoldedAlike(folder, root, index++, static_cast<WCHAR>(p.first),
                            static_cast<WCHAR>(p.second));
    if (alike != 7) {
      std::printf("U+%04X / U+%04X: listing %d, opening %d, registry %d\n", p.first, p.second,
                  alike & 1, (alike >> 1) & 1, (alike >> 2) & 1);
      ++disagreements;
    }
  }
  RegCloseKey(root);

  std::FILE* out = _wfopen(argv[1], L"wb");
  if (!out) return 2;
  std::fprintf(out,
               "// Generated from Wine 8.0's case tables by platform/win32/name_fold_probe.cc\n"
               "// (run under Wine: RtlUpcaseUnicodeChar and RtlDowncaseUnicodeChar of every\n"
               "// UTF-16 unit; the probe also checked every pair against the listing order,\n"
               "// opening by the other spelling and the registry order). Do not edit by hand.\n"
               "// %zu units have an upper case form, %zu a lower case form.\n"
               "#include \"platform/native/name_folding_table.h\"\n\nnamespace ztrm {\n\n",
               uppers.size(), lowers.size());
  WritePairs(out, "kUpperCasePairs", uppers);
  std::fprintf(out, "const std::size_t kUpperCasePairCount = sizeof(kUpperCasePairs) / "
                    "sizeof(kUpperCasePairs[0]);\n\n");
  WritePairs(out, "kLowerCasePairs", lowers);
  std::fprintf(out, "const std::size_t kLowerCasePairCount = sizeof(kLowerCasePairs) / "
                    "sizeof(kLowerCasePairs[0]);\n\n}  // namespace ztrm\n");
  std::fclose(out);
  std::printf("%zu upper, %zu lower case pairs; %d disagree\n", uppers.size(), lowers.size(),
              disagreements);
  return disagreements == 0 ? 0 : 1;
}
