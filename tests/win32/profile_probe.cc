// profile_probe: prints what GetPrivateProfileStringW answers and what
// WritePrivateProfileStringW leaves on disk, for comparing the native profile
// reader with the real functions (tests/e2e/profile_compare.sh runs it under
// Wine).
//
//   profile_probe read  DIR QUERIES OUT   answers of the queries in QUERIES
//                                          about the files in DIR
//   profile_probe write DIR OPS OUT       applies the writes of OPS to files
//                                          in DIR, results of the calls to OUT
//
// QUERIES: id, file, section, key[, expected]; each query reads with the
// default "" into a buffer of 260 units. Answers: id, value.
// OPS: scenario, "W", file, section, key, value (one write), or scenario, "T",
// file, slots (the chassis ID table: Chassis1..Chassis255 of
// [ChassisMappingID], in that order, "3=1" slots, the others 0). Results:
// scenario, op number, 1 or 0 for every write call (escaped, so 255
// successes read \(255)1).
// Field escapes: tests/profile_corpus/probe_format.h. Exit code 2 on bad
// arguments or unreadable lists.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/profile_corpus/probe_format.h"

namespace {

constexpr DWORD kBufferUnits = 260;

bool ReadWholeFile(const wchar_t* path, std::string& bytes) {
  FILE* file = _wfopen(path, L"rb");
  if (!file) return false;
  char chunk[4096];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  std::fclose(file);
  return true;
}

std::wstring ToWide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring Join(const wchar_t* dir, const std::string& escaped_name) {
  return std::wstring(dir) + L"\\" + ToWide(probe_format::Unescape(escaped_name));
}

int Read(const wchar_t* dir, const wchar_t* queries_path, const wchar_t* out_path) {
  std::string bytes;
  if (!ReadWholeFile(queries_path, bytes)) return 2;
  FILE* out = _wfopen(out_path, L"wb");
  if (!out) return 2;
  for (const auto& fields : probe_format::SplitRecords(bytes)) {
    if (fields.size() < 4) continue;
    std::wstring path = Join(dir, fields[1]);
    std::wstring section = ToWide(probe_format::Unescape(fields[2]));
    std::wstring key = ToWide(probe_format::Unescape(fields[3]));
    wchar_t buffer[kBufferUnits];
    DWORD units = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer,
                                           kBufferUnits, path.c_str());
    if (units >= kBufferUnits) units = kBufferUnits - 1;
    std::u16string value(reinterpret_cast<const char16_t*>(buffer), units);
    std::string line = fields[0] + "\t" + probe_format::Escape(value) + "\n";
    std::fwrite(line.data(), 1, line.size(), out);
  }
  std::fclose(out);
  return 0;
}

int Write(const wchar_t* dir, const wchar_t* ops_path, const wchar_t* out_path) {
  std::string bytes;
  if (!ReadWholeFile(ops_path, bytes)) return 2;
  FILE* out = _wfopen(out_path, L"wb");
  if (!out) return 2;
  int op_number = 0;
  std::string scenario;
  for (const auto& fields : probe_format::SplitRecords(bytes)) {
    if (fields.size() < 4) continue;
    if (fields[0] != scenario) {
      scenario = fields[0];
      op_number = 0;
    }
    ++op_number;
    std::wstring path = Join(dir, fields[2]);
    std::string results;
    if (fields[1] == "W" && fields.size() >= 6) {
      std::wstring section = ToWide(probe_format::Unescape(fields[3]));
      std::wstring key = ToWide(probe_format::Unescape(fields[4]));
      std::wstring value = ToWide(probe_format::Unescape(fields[5]));
      results = WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(),
                                           path.c_str())
                    ? "1"
                    : "0";
    } else if (fields[1] == "T") {
      std::vector<unsigned> slots = probe_format::TableSlots(fields[3]);
      for (unsigned i = 1; i <= 255; ++i) {
        std::wstring key = L"Chassis" + std::to_wstring(i);
        std::wstring value = std::to_wstring(slots[i]);
        results += WritePrivateProfileStringW(L"ChassisMappingID", key.c_str(), value.c_str(),
                                              path.c_str())
                       ? "1"
                       : "0";
      }
    } else {
      continue;
    }
    std::string line = scenario + "\t" + std::to_string(op_number) + "\t" +
                       probe_format::Escape(std::u16string(results.begin(), results.end())) + "\n";
    std::fwrite(line.data(), 1, line.size(), out);
  }
  std::fclose(out);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 5 && std::wstring(argv[1]) == L"read") return Read(argv[2], argv[3], argv[4]);
  if (argc == 5 && std::wstring(argv[1]) == L"write") return Write(argv[2], argv[3], argv[4]);
  std::fputs("usage: profile_probe read DIR QUERIES OUT | write DIR OPS OUT\n", stderr);
  return 2;
}
