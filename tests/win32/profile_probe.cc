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

std::wstring Wide(const std::string& escaped) {
  std::u16string text = probe_format::Unescape(escaped);
  return std::wstring(text.begin(), text.end());
}

// Writes to OUT the line LINE_OF makes of each record of IN ("" for none).
template <typename LineOf>
int EachRecord(const wchar_t* in_path, const wchar_t* out_path, LineOf line_of) {
  FILE* in = _wfopen(in_path, L"rb");
  if (!in) return 2;
  std::string bytes;
  char chunk[4096];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, in)) > 0;)
    bytes.append(chunk, got);
  std::fclose(in);
  FILE* out = _wfopen(out_path, L"wb");
  if (!out) return 2;
  for (const auto& fields : probe_format::SplitRecords(bytes)) {
    std::string line = fields.size() < 4 ? std::string() : line_of(fields);
    std::fwrite(line.data(), 1, line.size(), out);
  }
  std::fclose(out);
  return 0;
}

int Read(const wchar_t* dir, const wchar_t* queries_path, const wchar_t* out_path) {
  return EachRecord(queries_path, out_path, [&](const std::vector<std::string>& fields) {
    wchar_t buffer[kBufferUnits];
    DWORD units =
        GetPrivateProfileStringW(Wide(fields[2]).c_str(), Wide(fields[3]).c_str(), L"", buffer,
                                 kBufferUnits, (dir + (L"\\" + Wide(fields[1]))).c_str());
    if (units >= kBufferUnits) units = kBufferUnits - 1;
    std::u16string value(reinterpret_cast<const char16_t*>(buffer), units);
    return fields[0] + "\t" + probe_format::Escape(value) + "\n";
  });
}

int Write(const wchar_t* dir, const wchar_t* ops_path, const wchar_t* out_path) {
  int op_number = 0;
  std::string scenario;
  return EachRecord(ops_path, out_path, [&](const std::vector<std::string>& fields) {
    if (fields[0] != scenario) {
      scenario = fields[0];
      op_number = 0;
    }
    ++op_number;
    const std::wstring path = dir + (L"\\" + Wide(fields[2]));
    auto write = [&](const std::wstring& section, const std::wstring& key,
                     const std::wstring& value) {
      return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path.c_str())
                 ? u"1"
                 : u"0";
    };
    std::u16string results;
    if (fields[1] == "W" && fields.size() >= 6) {
      results = write(Wide(fields[3]), Wide(fields[4]), Wide(fields[5]));
    } else if (fields[1] == "T") {
      std::vector<unsigned> slots = probe_format::TableSlots(fields[3]);
      for (unsigned i = 1; i <= 255; ++i) {
        results +=
            write(L"ChassisMappingID", L"Chassis" + std::to_wstring(i), std::to_wstring(slots[i]));
      }
    } else {
      return std::string();
    }
    return scenario + "\t" + std::to_string(op_number) + "\t" + probe_format::Escape(results) +
           "\n";
  });
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 5 && std::wstring(argv[1]) == L"read") return Read(argv[2], argv[3], argv[4]);
  if (argc == 5 && std::wstring(argv[1]) == L"write") return Write(argv[2], argv[3], argv[4]);
  std::fputs("usage: profile_probe read DIR QUERIES OUT | write DIR OPS OUT\n", stderr);
  return 2;
}
