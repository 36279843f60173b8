// Test helpers for the chassis stages: whole records as text, and the text
// helpers their expected values use.
#ifndef ZTRM_TESTS_CHASSIS_TEST_SUPPORT_H_
#define ZTRM_TESTS_CHASSIS_TEST_SUPPORT_H_

#include <string>
#include <vector>

#include "chassis/chassis_records.h"
#include "tests/platform_test_support.h"
#include "tests/stage_bench.h"

namespace ztrm {

// Every field of a record, one "name=value" line each, values escaped, for
// comparing whole records with a readable difference.
std::string Render(const stPXISys& sys);
std::string Render(const stChassisDescFile& file);
std::string RenderFiles(const std::vector<stChassisDescFile>& files);

// The record of C:\Desc\<name> as the listing leaves it.
stChassisDescFile ListedFile(const std::string& name, const std::string& vendor_line,
                             const std::string& model_line, std::uint32_t bus_segments);

// Narrow text widened byte by byte, for expected values.
inline WString W(const std::string& bytes) { return WidenBytes(bytes); }

// ASCII text as a UTF-16LE file holds it, byte order mark first.
inline std::string Utf16Le(const std::string& ascii) { return Utf16File(W(ascii)); }

}  // namespace ztrm

#endif  // ZTRM_TESTS_CHASSIS_TEST_SUPPORT_H_
