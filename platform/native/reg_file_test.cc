#include "platform/native/reg_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/native/cp1252.h"
#include "tests/platform_test_support.h"

namespace ztrm {
namespace {

const std::string kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";

std::unique_ptr<RegistryNode> Parse(const std::string& bytes) {
  auto root = std::make_unique<RegistryNode>(u"HKEY_LOCAL_MACHINE");
  ApplyRegFile(bytes, *root);
  return root;
}

const RegistryNode* Key(const RegistryNode& root, WStringView path) {
  std::optional<std::vector<WString>> names = SplitKeyPath(path);
  return names ? root.Find(*names) : nullptr;
}

// The string a value holds, "dword N" or "type N: bytes" for another type,
// "<none>" when missing.
std::string Show(const RegistryNode* key, WStringView name) {
  if (!key) return "<no key>";
  const RegistryValue* value = key->FindValue(name);
  if (!value) return "<none>";
  const auto byte = [&](std::size_t i) { return std::uint32_t{static_cast<unsigned char>(value->data[i])}; };
  if (value->type == kRegDword && value->data.size() == 4) {
    return "dword " + std::to_string(byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24);
  }
  if (value->type != kRegSz) {
    std::string out = "type " + std::to_string(value->type) + ":";
    char hex[4];
    for (std::size_t i = 0; i < value->data.size(); ++i) {
      std::snprintf(hex, sizeof hex, " %02x", static_cast<unsigned>(byte(i)));
      out += hex;
    }
    return out;
  }
  WString text;
  for (std::size_t i = 0; i + 1 < value->data.size(); i += 2) text.push_back(static_cast<char16_t>(byte(i) | byte(i + 1) << 8));
  if (text.empty() || text.back() != u'\0') return "<unterminated>";
  text.pop_back();
  std::string shown;  // a NUL inside as "\0"
  for (char c : ToUtf8(text)) shown += c == '\0' ? std::string("\\0") : std::string(1, c);
  return "\"" + shown + "\"";
}

// One value line each, in key SOFTWARE\T, against what wine regedit /S
// imported from the same line (Wine 8.0, measured), once in an 8-bit file
// (the line's bytes as they are) and once in a UTF-16LE file (the same line
// read as Windows-1252 text); `utf16` only where the two differ.
TEST(RegFileTest, ValueLinesImportAsRegeditImportsThem) {
  struct Row {
    const char* line;
    const char* name;
    const char* expect;
    const char* utf16 = nullptr;
  };
  const Row rows[] = {
      {R"("Plain"="text")", "Plain", R"("text")"},
      {R"("Esc"="back\\slash \"quoted\" end")", "Esc", R"("back\slash "quoted" end")"},
      {R"("Unknown"="a\qb")", "Unknown", R"("aqb")"},
      {R"("Tab"="a\tb")", "Tab", R"("atb")"},
      {R"("Newline"="a\nb")", "Newline", "\"a\nb\""},
      {R"("Cr"="a\rb")", "Cr", "\"a\rb\""},
      {R"("Empty"="")", "Empty", R"("")"},
      {R"("Spaces" = "around equals")", "Spaces", R"("around equals")"},
      {R"("Trailing"="x" ; comment after)", "Trailing", R"("x")"},
      {R"("Garbage"="x" junk)", "Garbage", "<none>"},
      {R"("Emb"="x"="y")", "Emb", "<none>"},
      {R"("Unterminated="x")", "Unterminated=", "<none>"},
      {R"("NameWith\"Quote"="v")", "NameWith\"Quote", R"("v")"},
      {R"(  "Indented"="yes")", "Indented", R"("yes")"},
      {R"("  sp  "="spaced name")", "  sp  ", R"("spaced name")"},
      {R"(@="default value")", "", R"("default value")"},
      {R"("Dword"=dword:0000000a)", "Dword", "dword 10"},
      {R"("ShortDword"=dword:a)", "ShortDword", "dword 10"},
      {R"("DwSpace"=dword: 0000000a)", "DwSpace", "dword 10"},
      {R"("DwTrail"=dword:0000000c ; comment)", "DwTrail", "dword 12"},
      {R"("Max"=dword:ffffffff)", "Max", "dword 4294967295"},
      {R"("LongDword"=dword:123456789)", "LongDword", "<none>"},
      {R"("BadDword"=dword:xyz)", "BadDword", "<none>"},
      {R"("DwUpper"=DWORD:0000000b)", "DwUpper", "<none>"},
      {R"("DwJunk"=dword:0000000d x)", "DwJunk", "<none>"},
      {R"("Bin"=hex:01,02)", "Bin", "type 3: 01 02"},
      {R"("HexEmpty"=hex:)", "HexEmpty", "type 3:"},
      {R"("HexTrailComma"=hex:01,02,)", "HexTrailComma", "type 3: 01 02"},
      {R"("HexOdd"=hex:1,2)", "HexOdd", "type 3: 01 02"},
      {R"("HexComment"=hex:01,02 ; comment)", "HexComment", "type 3: 01 02"},
      {R"("HexSpaces"=hex: 01 , 02)", "HexSpaces", "<none>"},
      {R"("HexBad"=hex:01,zz)", "HexBad", "<none>"},
      {R"("HexUpper"=HEX:01,02)", "HexUpper", "<none>"},
      {R"("Hex0"=hex(0):01)", "Hex0", "type 0: 01"},
      {R"("HexBig"=hex(100):01)", "HexBig", "type 256: 01"},
      {"\"Bin8\"=hex:e9,80", "Bin8", "type 3: e9 80"},
      {"\"Hex0High\"=hex(0):e9,80", "Hex0High", "type 0: e9 80"},
      // hex(1), hex(2), hex(7) in an 8-bit file: ANSI text, a byte a
      // character, a 0 added when the last byte is not 0. In UTF-16: as
      // written, a 0 unit added when the last unit is not 0.
      {R"("Expand"=hex(2):25,00,41,00,25,00,00,00)", "Expand",
       "type 2: 25 00 00 00 41 00 00 00 25 00 00 00 00 00 00 00", "type 2: 25 00 41 00 25 00 00 00"},
      {R"("ExpAnsi"=hex(2):43,3a,5c,e9,80)", "ExpAnsi", "type 2: 43 00 3a 00 5c 00 e9 00 ac 20 00 00",
       "type 2: 43 3a 5c e9 00 00 00"},
      {R"("ExpOdd"=hex(2):41,00,42)", "ExpOdd", "type 2: 41 00 00 00 42 00 00 00",
       "type 2: 41 00 00 00 00"},
      {R"("ExpEnd0"=hex(2):41,00,00,00)", "ExpEnd0", "type 2: 41 00 00 00 00 00 00 00",
       "type 2: 41 00 00 00"},
      {R"("ExpEmpty"=hex(2):)", "ExpEmpty", "type 2:"},
      {R"("ExpBlank"=hex(2):   )", "ExpBlank", "type 2:"},
      {R"("Multi"=hex(7):61,00,62,00,00,00)", "Multi",
       "type 7: 61 00 00 00 62 00 00 00 00 00 00 00", "type 7: 61 00 62 00 00 00"},
      {R"("MultiOpen"=hex(7):e9,00,62,00)", "MultiOpen", "type 7: e9 00 00 00 62 00 00 00",
       "type 7: e9 00 62 00 00 00"},
      {R"("HexSz"=hex(1):68,00,69,00,00,00)", "HexSz", R"("h\0i\0\0")", R"("hi")"},
      {R"("HexSzOpen"=hex(1):68,e9)", "HexSzOpen", "\"h\xC3\xA9\"", "\"\xEE\xA5\xA8\""},
      // Names and strings: Windows-1252 (0x80 is the euro sign, 0x81 has no
      // letter and stays U+0081); UTF-8 bytes are two letters each.
      {"\"Ansi\"=\"\xe9t\xe9 \xc3\xa9 \x80\x81\"", "Ansi",
       "\"\xC3\xA9t\xC3\xA9 \xC3\x83\xC2\xA9 \xE2\x82\xAC\xC2\x81\""},
      {"\"N\xe9\"=\"v\"", "N\xC3\xA9", R"("v")"},
      {R"("HexDw"=hex(4):05,00,00,00)", "HexDw", "dword 5"},
      {R"("Str2"=str(2):"%PATH%")", "Str2", "<none>"},
      {R"(garbage line here)", "garbage line here", "<none>"},
  };
  for (const Row& row : rows) {
    const std::string file = kHeader + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\T]\r\n" + row.line + "\r\n";
    auto root = Parse(file);
    EXPECT_EQ(Show(Key(*root, u"SOFTWARE\\T"), FromUtf8(row.name)), row.expect) << row.line;
    root = Parse(Utf16File(DecodeWindows1252(file)));
    EXPECT_EQ(Show(Key(*root, u"SOFTWARE\\T"), FromUtf8(row.name)), row.utf16 ? row.utf16 : row.expect)
        << "UTF-16: " << row.line;
  }
}

// Nesting stops at 512 levels: the deeper key is not made, nor a value below it.
TEST(RegFileTest, KeysNestAtMost512Deep) {
  std::string deep = kHeader + "[HKEY_LOCAL_MACHINE";
  for (int i = 0; i < 2000; ++i) deep += "\\k";
  auto root = Parse(deep + "]\r\n\"v\"=\"1\"\r\n");
  const RegistryNode* node = root.get();
  int depth = 0;
  while (node->SubkeyCount() == 1) {
    node = &node->Subkey(0);
    ++depth;
  }
  EXPECT_EQ(depth, 512);
  EXPECT_EQ(node->ValueCount(), 0u);
}

}  // namespace
}  // namespace ztrm
