#include "chassis/description_discovery.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "tests/chassis_test_support.h"
#include "tests/output_test_files.h"

namespace ztrm {
namespace {

std::string Units(const std::string& ascii) {  // "41,00,42,00" for "AB"
  std::string out;
  for (char c : ascii) {
    char pair[8];
    std::snprintf(pair, sizeof pair, "%s%02x,00", out.empty() ? "" : ",", c);
    out += pair;
  }
  return out;
}

std::string Str(const std::string& text) {  // a string value as the registry file writes it
  std::string out = "\"";
  for (char c : text) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out + "\"";
}

// The folder value's data is taken as text whatever its type. The registry
// file is UTF-16LE, so hex(N) data is UTF-16LE bytes for every reader.
TEST(DescriptionDiscovery, TheFolderComesFromTheKeyOfTheViewAndItsValueAsText) {
  const std::string kKey = "SOFTWARE\\PXISA\\CurrentVersion";
  const std::string kWowKey = "SOFTWARE\\Wow6432Node\\PXISA\\CurrentVersion";
  const std::string f256(256, 'f');
  const std::string found = "ChassisModue_INI_Path = C:\\Desc\r\n";
  auto no_ini = [](const std::string& folder) {
    return "ChassisModue_INI_Path = " + folder + "\r\nFail to open first INI file in folder of " + folder + ".\r\n";
  };
  const struct {
    const char* name;
    std::string key;    // "" for none
    std::string value;  // the part of the value's line after '='; "" for no value
    bool wow6432;
    const char* file;  // written in C:\Desc beside readme.txt
    std::string log;
  } cases[] = {
      {"no key", "", "", false, "a.ini", "Fail to open key of " + kKey + "\r\n"},
      {"the 32-bit view asks only its own key", kKey, Str("C:\\Desc"), true, "a.ini",
       "Fail to open key of " + kWowKey + "\r\n"},
      {"the 32-bit view's key", kWowKey, Str("C:\\Desc"), true, "a.ini", found},
      {"no value", kKey, "", false, "a.ini", "ChassisModue_INI_Path = \r\n"},
      {"empty value", kKey, Str(""), false, "a.ini", "ChassisModue_INI_Path = \r\n"},
      {"260 units count as missing", kKey, Str("C:\\" + f256 + "f"), false, "a.ini",
       "ChassisModue_INI_Path = \r\n"},
      {"259 units are used", kKey, Str("C:\\" + f256), false, "a.ini", no_ini("C:\\" + f256)},
      {"a folder that does not exist", kKey, Str("C:\\Nowhere"), false, "a.ini", no_ini("C:\\Nowhere")},
      {"a folder without .ini files", kKey, Str("C:\\Desc"), false, "a.ini.bak", no_ini("C:\\Desc")},
      {"multi-string: its first string", kKey,
       "hex(7):" + Units("C:\\Desc") + ",00,00," + Units("C:\\X") + ",00,00,00,00", false, "a.ini", found},
      {"expandable string", kKey, "hex(2):" + Units("C:\\Desc") + ",00,00", false, "a.ini", found},
      {"string with a NUL inside", kKey, "hex(1):" + Units("C:\\Desc") + ",00,00," + Units("Z"), false,
       "a.ini", found},
      {"dword: two units", kKey, "dword:00440043", false, "a.ini", no_ini("CD")},
      {"binary, odd last byte as a unit's low half", kKey, "hex:41,00,42", false, "a.ini", no_ini("AB")},
      {"259 units and a NUL fill the buffer", kKey, "hex(7):" + Units("C:\\" + f256) + ",00,00", false,
       "a.ini", no_ini("C:\\" + f256)},
      {"260 units without a NUL: no terminator fits", kKey, "hex:" + Units("C:\\" + f256 + "f"), false,
       "a.ini", "ChassisModue_INI_Path = \r\n"},
      {"more than 520 bytes", kKey,
       "hex(7):" + Units("C:\\Desc") + ",00,00," + Units(f256) + ",00,00", false, "a.ini",
       "ChassisModue_INI_Path = \r\n"},
      {"empty binary", kKey, "hex:", false, "a.ini", "ChassisModue_INI_Path = \r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StageBench bench;
    std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
    if (!c.key.empty()) text += "[HKEY_LOCAL_MACHINE\\" + c.key + "]\r\n";
    if (!c.value.empty()) text += "\"ChassisDescriptionFilePath\"=" + c.value + "\r\n";
    bench.image.Write("registry.reg", Utf16Le(text));
    bench.WriteC("Desc/readme.txt", "Vendor = \"A\"\n");
    bench.WriteC(std::string("Desc/") + c.file, "Vendor = \"A\"\n");
    bench.Context().UseWow6432Node = c.wow6432;
    FindChassisDescriptionFiles(bench.Context());
    EXPECT_EQ(bench.Log(), CrLf(c.log));
    const bool listed = c.log == found;
    EXPECT_EQ(RenderFiles(bench.Context().vecChassisDescFile),
              RenderFiles(listed ? std::vector<stChassisDescFile>{ListedFile("a.ini", "Vendor = \"A\"\n", "", 0)}
                                 : std::vector<stChassisDescFile>{}));
    // The folder named in the log is made current and listed; none when there is none.
    const std::string prefix = "ChassisModue_INI_Path = ";
    const std::string folder = c.log.rfind(prefix, 0) == 0
                                   ? c.log.substr(prefix.size(), c.log.find('\r') - prefix.size())
                                   : "";
    EXPECT_EQ(bench.files().current_directory_changes,
              folder.empty() ? std::vector<WString>{} : std::vector<WString>{W(folder)});
    EXPECT_EQ(bench.files().listings, folder.empty() ? 0 : 1);
  }
}

// ---- Files that list but do not open ----------------------------------------

TEST(DescriptionDiscovery, AFolderNamedIniOrAFileGoneAfterTheListingIsLoggedAndSkipped) {
  StageBench bench;
  bench.RegisterDescriptionFolder("C:\\Desc");
  bench.image.MakeFolder("drive_c/Desc/folder.ini");
  bench.WriteC("Desc/gone.ini", "Vendor = \"G\"\n");
  bench.WriteC("Desc/kept.ini", "Vendor = \"K\"\r\nModel = \"M\"\r\n");
  std::string gone = bench.image.Path("drive_c/Desc/gone.ini");
  bench.files().after_listing = [gone] { std::filesystem::remove(gone); };
  FindChassisDescriptionFiles(bench.Context());
  EXPECT_EQ(bench.Log(), CrLf("ChassisModue_INI_Path = C:\\Desc\r\n"
                              "Fail to open INI file of C:\\Desc\\folder.ini.\r\n"
                              "Fail to open INI file of C:\\Desc\\gone.ini.\r\n"));
  EXPECT_EQ(RenderFiles(bench.Context().vecChassisDescFile),
            RenderFiles({ListedFile("kept.ini", "Vendor = \"K\"\n", "Model = \"M\"\n", 0)}));
}

// ---- The line rules of the scan ---------------------------------------------

// A literal with its NUL bytes.
template <std::size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

TEST(DescriptionScanTest, KeepsTheLastMatchingLinesAndCountsHeaders) {
  const struct {
    const char* name;
    std::string bytes;
    std::string vendor_line;
    std::string model_line;
    std::uint32_t count;
  } cases[] = {
      {"crlf lines end in a plain lf", "[Chassis]\r\nVendor = \"Acme\"\r\nModel = \"PXI-1018\"\r\n",
       "Vendor = \"Acme\"\n", "Model = \"PXI-1018\"\n", 0},
      {"a later VendorCode line wins", "[Chassis]\nVendor = \"Acme\"\nVendorCode = 7\nModel = \"M\"\n",
       "VendorCode = 7\n", "Model = \"M\"\n", 0},
      {"model line without a final line feed", "[Chassis]\r\nVendor = \"Acme\"\r\nModel = \"M\"",
       "Vendor = \"Acme\"\n", "Model = \"M\"", 0},
      {"headers count, list keys do not",
       "[Chassis]\r\nPCIBusSegmentList = 1,2\r\nPXI1BusSegmentList = 1\r\n"
       "[PCIBusSegment1]\r\n[PCIBusSegment2]\r\n[PXI1BusSegment1]\r\n",
       "", "", 3},
      {"a nul ends what the scan sees of a line",
       Bytes("Vendor\0 = \"A\"\nModel = \"M\"\0 tail\n[PCI\0BusSegment1]\n"),
       "Vendor", "Model = \"M\"", 0},
      {"ctrl-z ends the file",
       "Vendor = \"A\"\n\x1aVendor = \"B\"\n[PCIBusSegment1]\n", "Vendor = \"A\"\n", "", 0},
      {"a 255-unit piece ending in the word matches without line feed", std::string(249, 'x') + "Vendor = \"A\"\n",
       std::string(249, 'x') + "Vendor", "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StageBench bench;
    bench.RegisterDescriptionFolder("C:\\Desc");
    bench.WriteC("Desc/a.ini", c.bytes);
    FindChassisDescriptionFiles(bench.Context());
    EXPECT_EQ(RenderFiles(bench.Context().vecChassisDescFile),
              RenderFiles({ListedFile("a.ini", c.vendor_line, c.model_line, c.count)}));
  }
}

}  // namespace
}  // namespace ztrm
