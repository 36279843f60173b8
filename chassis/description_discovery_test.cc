#include "chassis/description_discovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "tests/chassis_test_support.h"

namespace ztrm {
namespace {

// Run-log text as the file holds it: every LF of a message became CR LF.
std::string LogText(const std::string& messages) {
  std::string out;
  for (char c : messages) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

stChassisDescFile File(const std::string& name, const std::string& vendor_line,
                       const std::string& model_line, std::uint32_t count) {
  stChassisDescFile f;
  f.szPath.Assign(W("C:\\Desc\\" + name));
  f.szFileName.Assign(W(name));
  f.szVendorLine.Assign(W(vendor_line));
  f.szModelLine.Assign(W(model_line));
  f.dwBusSegmentCount = count;
  return f;
}

// One file in C:\Desc, scanned; returns the records.
std::vector<stChassisDescFile> ScanOne(ChassisBench& bench, const std::string& bytes) {
  bench.RegisterDescriptionFolder("C:\\Desc");
  bench.WriteC("Desc/a.ini", bytes);
  FindChassisDescriptionFiles(bench.Context());
  return bench.Context().vecChassisDescFile;
}

// ---- The registry key and the folder value --------------------------------

TEST(DescriptionDiscovery, MissingKeyIsLoggedAndNothingListed) {
  ChassisBench bench;
  bench.image.WriteRegistry("");
  FindChassisDescriptionFiles(bench.Context());
  EXPECT_EQ(bench.Log(), LogText("Fail to open key of SOFTWARE\\PXISA\\CurrentVersion\r\n"));
  EXPECT_TRUE(bench.Context().vecChassisDescFile.empty());
  EXPECT_EQ(bench.files().listings, 0);
}

TEST(DescriptionDiscovery, Wow6432NodeChoosesThe32BitKey) {
  ChassisBench bench;
  bench.RegisterDescriptionFolder("C:\\Desc");  // only the 64-bit view has it
  bench.WriteC("Desc/a.ini", "Vendor = \"A\"\n");
  bench.Context().UseWow6432Node = true;
  FindChassisDescriptionFiles(bench.Context());
  EXPECT_EQ(bench.Log(),
            LogText("Fail to open key of SOFTWARE\\Wow6432Node\\PXISA\\CurrentVersion\r\n"));
  EXPECT_TRUE(bench.Context().vecChassisDescFile.empty());
}

TEST(DescriptionDiscovery, Wow6432NodeKeyIsRead) {
  ChassisBench bench;
  bench.RegisterDescriptionFolder("C:\\Desc", /*wow6432=*/true);
  bench.WriteC("Desc/a.ini", "Vendor = \"A\"\n");
  bench.Context().UseWow6432Node = true;
  FindChassisDescriptionFiles(bench.Context());
  EXPECT_EQ(bench.Log(), LogText("ChassisModue_INI_Path = C:\\Desc\r\n"));
  EXPECT_EQ(RenderFiles(bench.Context().vecChassisDescFile),
            RenderFiles({File("a.ini", "Vendor = \"A\"\n", "", 0)}));
}

TEST(DescriptionDiscovery, MissingValueLogsAnEmptyFolderAndListsNothing) {
  ChassisBench bench;
  bench.RegisterDescriptionFolder(nullptr);
  FindChassisDescriptionFiles(bench.Context());
  EXPECT_EQ(bench.Log(), LogText("ChassisModue_INI_Path = \r\n"));
  EXPECT_TRUE(bench.Context().vecChassisDescFile.empty());
  EXPECT_EQ(bench.files().listings, 0);
  EXPECT_TRUE(bench.files().current_directory_changes.empty());
}

TEST(DescriptionDiscovery, EmptyValueIsAMissingOne) {
  ChassisBench bench;
  bench.RegisterDescriptionFolder("");
  FindChassisDescriptionFiles(bench.Context());
  EXPECT_EQ(bench.Log(), LogText("ChassisModue_INI_Path = \r\n"));
  EXPECT_EQ(bench.files().listings, 0);
}

TEST(DescriptionDiscovery, FolderValueOf260UnitsCountsAsMissing) {
  ChassisBench bench;
  std::string folder = "C:\\" + std::string(257, 'f');  // 260 units
  bench.RegisterDescriptionFolder(folder.c_str());
  FindChassisDescriptionFiles(bench.Context());
  EXPECT_EQ(bench.Log(), LogText("ChassisModue_INI_Path = \r\n"));
  EXPECT_EQ(bench.files().listings, 0);
}

TEST(DescriptionDiscovery, FolderValueOf259UnitsIsUsed) {
  ChassisBench bench;
  std::string folder = "C:\\" + std::string(256, 'f');  // 259 units, no such folder
  bench.RegisterDescriptionFolder(folder.c_str());
  FindChassisDescriptionFiles(bench.Context());
  EXPECT_EQ(bench.Log(), LogText("ChassisModue_INI_Path = " + folder + "\r\n" +
                                 "Fail to open first INI file in folder of " + folder + ".\r\n"));
  EXPECT_EQ(bench.files().listings, 1);
}

// The folder value's data is taken as text whatever its type. The registry
// file is UTF-16LE, so hex(N) data is UTF-16LE bytes for every reader.
struct FolderValueCase {
  const char* name;
  std::string value;     // the value's part of the line after '='
  std::string expected;  // the folder the run log names
};

std::string Units(const std::string& ascii) {  // "41,00,42,00" for "AB"
  std::string out;
  for (char c : ascii) {
    char pair[8];
    std::snprintf(pair, sizeof pair, "%s%02x,00", out.empty() ? "" : ",", c);
    out += pair;
  }
  return out;
}

TEST(DescriptionDiscovery, FolderValueOfAnyTypeIsItsDataAsText) {
  const std::string f256(256, 'f');
  const FolderValueCase cases[] = {
      {"multi-string: its first string", "hex(7):" + Units("C:\\Desc") + ",00,00," +
                                             Units("C:\\X") + ",00,00,00,00",
       "C:\\Desc"},
      {"expandable string", "hex(2):" + Units("C:\\Desc") + ",00,00", "C:\\Desc"},
      {"string with a NUL inside", "hex(1):" + Units("C:\\Desc") + ",00,00," + Units("Z"),
       "C:\\Desc"},
      {"dword: two units", "dword:00440043", "CD"},
      {"binary, odd last byte as a unit's low half", "hex:41,00,42", "AB"},
      {"259 units and a NUL fill the buffer", "hex(7):" + Units("C:\\" + f256) + ",00,00",
       "C:\\" + f256},
      {"260 units without a NUL: no terminator fits", "hex:" + Units("C:\\" + f256 + "f"), ""},
      {"more than 520 bytes", "hex(7):" + Units("C:\\Desc") + ",00,00," + Units(f256) + ",00,00",
       ""},
      {"empty binary", "hex:", ""},
  };
  for (const FolderValueCase& c : cases) {
    SCOPED_TRACE(c.name);
    ChassisBench bench;
    const std::string text =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\CurrentVersion]\r\n"
        "\"ChassisDescriptionFilePath\"=" + c.value + "\r\n";
    std::string bytes = "\xFF\xFE";
    for (char ch : text) bytes += std::string{ch, '\0'};
    bench.image.Write("registry.reg", bytes);
    bench.WriteC("Desc/a.ini", "Vendor = \"A\"\n");
    FindChassisDescriptionFiles(bench.Context());
    const std::string& folder = c.expected;
    std::string log = "ChassisModue_INI_Path = " + folder + "\r\n";
    if (!folder.empty() && folder != "C:\\Desc") {
      log += "Fail to open first INI file in folder of " + folder + ".\r\n";
    }
    EXPECT_EQ(bench.Log(), LogText(log));
    EXPECT_EQ(bench.Context().vecChassisDescFile.size(), folder == "C:\\Desc" ? 1u : 0u);
  }
}

TEST(DescriptionDiscovery, MissingFolder) {
  ChassisBench bench;
  bench.RegisterDescriptionFolder("C:\\Nowhere");
  FindChassisDescriptionFiles(bench.Context());
  EXPECT_EQ(bench.Log(), LogText("ChassisModue_INI_Path = C:\\Nowhere\r\n"
                                 "Fail to open first INI file in folder of C:\\Nowhere.\r\n"));
  EXPECT_TRUE(bench.Context().vecChassisDescFile.empty());
}

TEST(DescriptionDiscovery, FolderWithoutIniFiles) {
  ChassisBench bench;
  bench.RegisterDescriptionFolder("C:\\Desc");
  bench.WriteC("Desc/readme.txt", "Vendor = \"A\"\n");
  bench.WriteC("Desc/a.ini.bak", "Vendor = \"A\"\n");
  FindChassisDescriptionFiles(bench.Context());
  EXPECT_EQ(bench.Log(), LogText("ChassisModue_INI_Path = C:\\Desc\r\n"
                                 "Fail to open first INI file in folder of C:\\Desc.\r\n"));
  EXPECT_TRUE(bench.Context().vecChassisDescFile.empty());
}

TEST(DescriptionDiscovery, MakesTheFolderCurrent) {
  ChassisBench bench;
  bench.RegisterDescriptionFolder("C:\\Desc");
  bench.WriteC("Desc/a.ini", "");
  FindChassisDescriptionFiles(bench.Context());
  EXPECT_EQ(bench.files().current_directory_changes, std::vector<WString>{u"C:\\Desc"});
}

// ---- Files that list but do not open ----------------------------------------

TEST(DescriptionDiscovery, AFolderNamedIniIsLoggedAndSkipped) {
  ChassisBench bench;
  bench.RegisterDescriptionFolder("C:\\Desc");
  bench.image.MakeFolder("drive_c/Desc/folder.ini");
  bench.WriteC("Desc/real.ini", "Vendor = \"A\"\r\nModel = \"M\"\r\n");
  FindChassisDescriptionFiles(bench.Context());
  EXPECT_EQ(bench.Log(), LogText("ChassisModue_INI_Path = C:\\Desc\r\n"
                                 "Fail to open INI file of C:\\Desc\\folder.ini.\r\n"));
  EXPECT_EQ(RenderFiles(bench.Context().vecChassisDescFile),
            RenderFiles({File("real.ini", "Vendor = \"A\"\n", "Model = \"M\"\n", 0)}));
}

TEST(DescriptionDiscovery, AFileThatVanishesAfterTheListingIsLoggedAndSkipped) {
  ChassisBench bench;
  bench.RegisterDescriptionFolder("C:\\Desc");
  bench.WriteC("Desc/gone.ini", "Vendor = \"G\"\n");
  bench.WriteC("Desc/kept.ini", "Vendor = \"K\"\n");
  std::string gone = bench.image.Path("drive_c/Desc/gone.ini");
  bench.files().after_listing = [gone] { std::filesystem::remove(gone); };
  FindChassisDescriptionFiles(bench.Context());
  EXPECT_EQ(bench.Log(), LogText("ChassisModue_INI_Path = C:\\Desc\r\n"
                                 "Fail to open INI file of C:\\Desc\\gone.ini.\r\n"));
  EXPECT_EQ(RenderFiles(bench.Context().vecChassisDescFile),
            RenderFiles({File("kept.ini", "Vendor = \"K\"\n", "", 0)}));
}

TEST(DescriptionDiscovery, EveryListedFileIsScannedInListingOrder) {
  ChassisBench bench;
  bench.RegisterDescriptionFolder("C:\\Desc");
  bench.WriteC("Desc/a.ini", "[Chassis]\r\nVendor = \"A\"\r\nModel = \"1\"\r\n[PCIBusSegment1]\r\n");
  bench.WriteC("Desc/b.ini", "[Other]\r\nkey=value\r\n");
  bench.WriteC("Desc/c.ini", "");
  FindChassisDescriptionFiles(bench.Context());
  std::vector<WString> listed = bench.Context().platform.files.ListEntries(u"C:\\Desc", u"*.ini");
  std::vector<WString> recorded;
  for (const stChassisDescFile& f : bench.Context().vecChassisDescFile) recorded.push_back(f.szFileName.str());
  EXPECT_EQ(recorded, listed);
  std::vector<stChassisDescFile> sorted = bench.Context().vecChassisDescFile;
  std::sort(sorted.begin(), sorted.end(),
            [](const stChassisDescFile& x, const stChassisDescFile& y) { return x.szFileName.str() < y.szFileName.str(); });
  EXPECT_EQ(RenderFiles(sorted), RenderFiles({File("a.ini", "Vendor = \"A\"\n", "Model = \"1\"\n", 1),
                                    File("b.ini", "", "", 0), File("c.ini", "", "", 0)}));
  EXPECT_EQ(bench.Log(), LogText("ChassisModue_INI_Path = C:\\Desc\r\n"));
}

TEST(DescriptionDiscovery, PathIsCutTo259Units) {
  ChassisBench bench;
  std::string folder = "C:\\" + std::string(250, 'd');
  bench.RegisterDescriptionFolder(folder.c_str());
  bench.WriteC(std::string(250, 'd') + "/long_name.ini", "");
  FindChassisDescriptionFiles(bench.Context());
  std::string cut = (folder + "\\long_name.ini").substr(0, 259);
  // The cut path names no file.
  EXPECT_EQ(bench.Log(), LogText("ChassisModue_INI_Path = " + folder + "\r\n" +
                                 "Fail to open INI file of " + cut + ".\r\n"));
  EXPECT_TRUE(bench.Context().vecChassisDescFile.empty());
}

// ---- The line rules of the scan ---------------------------------------------

struct ScanCase {
  const char* name;
  std::string bytes;
  std::string vendor_line;
  std::string model_line;
  std::uint32_t count;
};

void PrintTo(const ScanCase& c, std::ostream* os) { *os << c.name; }

class DescriptionScanTest : public testing::TestWithParam<ScanCase> {};

TEST_P(DescriptionScanTest, KeepsTheLastMatchingLinesAndCountsHeaders) {
  const ScanCase& c = GetParam();
  ChassisBench bench;
  std::vector<stChassisDescFile> files = ScanOne(bench, c.bytes);
  EXPECT_EQ(RenderFiles(files), RenderFiles({File("a.ini", c.vendor_line, c.model_line, c.count)})) << c.name;
}

// A literal with its NUL bytes.
template <std::size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

std::string Utf16(const std::string& ascii) {
  std::string out = "\xff\xfe";
  for (char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

std::string Junk() {
  // Control bytes and high bytes, never a letter, LF or Ctrl-Z.
  std::string out;
  unsigned state = 12345;
  for (int i = 0; i < 20000; ++i) {
    state = state * 1103515245u + 12345u;
    unsigned char b = static_cast<unsigned char>(state >> 16);
    if (b == '\n' || b == 0x1A || (b >= 0x20 && b < 0x80)) b = 0x00;
    out.push_back(static_cast<char>(b));
  }
  return out;
}

std::string ManySegments(int n) {
  std::string out = "[Chassis]\r\nPCIBusSegmentList = 1\r\n";
  for (int i = 1; i <= n; ++i) out += "[PCIBusSegment" + std::to_string(i) + "]\r\nSlotList = 1\r\n";
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DescriptionScanTest,
    testing::Values(
        ScanCase{"crlf lines end in a plain lf",
                 "[Chassis]\r\nVendor = \"Acme\"\r\nModel = \"PXI-1018\"\r\n",
                 "Vendor = \"Acme\"\n", "Model = \"PXI-1018\"\n", 0},
        ScanCase{"a later VendorCode line wins",
                 "[Chassis]\nVendor = \"Acme\"\nVendorCode = 7\nModel = \"M\"\n",
                 "VendorCode = 7\n", "Model = \"M\"\n", 0},
        ScanCase{"model line without a final line feed",
                 "[Chassis]\r\nVendor = \"Acme\"\r\nModel = \"M\"",
                 "Vendor = \"Acme\"\n", "Model = \"M\"", 0},
        ScanCase{"headers count, list keys do not",
                 "[Chassis]\r\nPCIBusSegmentList = 1,2\r\nPXI1BusSegmentList = 1\r\n"
                 "[PCIBusSegment1]\r\n[PCIBusSegment2]\r\n[PXI1BusSegment1]\r\n",
                 "", "", 3},
        ScanCase{"a header anywhere in a line counts once",
                 "x [PCIBusSegment1] [PXI1BusSegment1]\n;[PXI1BusSegment9]\n", "", "", 2},
        ScanCase{"matching is case-sensitive",
                 "vendor = \"a\"\nMODEL = \"b\"\n[pcibussegment1]\n", "", "", 0},
        ScanCase{"one line can be both vendor and model line",
                 "ModelVendor\n", "ModelVendor\n", "ModelVendor\n", 0},
        ScanCase{"a nul ends what the scan sees of a line",
                 Bytes("Vendor\0 = \"A\"\nModel = \"M\"\0 tail\n[PCI\0BusSegment1]\n"),
                 "Vendor", "Model = \"M\"", 0},
        ScanCase{"ctrl-z ends the file",
                 "Vendor = \"A\"\n\x1aVendor = \"B\"\n[PCIBusSegment1]\n", "Vendor = \"A\"\n", "", 0},
        ScanCase{"a word cut by the 255-unit limit does not match",
                 std::string(253, 'x') + "Vendor = \"A\"\n", "", "", 0},
        ScanCase{"a 255-unit piece ending in the word matches without line feed",
                 std::string(249, 'x') + "Vendor = \"A\"\n",
                 std::string(249, 'x') + "Vendor", "", 0},
        ScanCase{"a one megabyte line",
                 std::string(1 << 20, 'x') + "Model = \"M\"\n" + "Vendor = \"V\"\n",
                 "Vendor = \"V\"\n", std::string(16, 'x') + "Model = \"M\"\n", 0},
        ScanCase{"utf-16 yields no usable line", Utf16("[Chassis]\r\nVendor = \"A\"\r\nModel = \"M\"\r\n[PCIBusSegment1]\r\n"),
                 "", "", 0},
        ScanCase{"binary junk, then real lines",
                 Junk() + "\nVendor = \"J\"\n[PXI1BusSegment1]\n", "Vendor = \"J\"\n", "", 1},
        ScanCase{"ten thousand sections", ManySegments(10000), "", "", 10000},
        ScanCase{"empty file", "", "", "", 0}));

}  // namespace
}  // namespace ztrm
