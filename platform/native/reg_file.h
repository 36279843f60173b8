// Registry export text ("Windows Registry Editor Version 5.00") read into a
// tree, following what `wine regedit /S` imports (Wine 8.0, measured).
//
// Encoding: the first two bytes alone decide it, whatever the header says.
// FF FE: UTF-16LE (a last odd byte is dropped). Anything else: 8-bit text in
// the ANSI code page, Windows-1252 (cp1252.h), one character a byte; UTF-8
// bytes are read as two or three 1252 characters each, and a UTF-8 byte
// order mark stands before the header, so nothing at all is read.
//
// Lines end at CR LF, LF or CR. Blanks (space, tab) at the start of a line
// are skipped. Rules, in the order a line is tried:
//   header     the first line must be "Windows Registry Editor Version 5.00"
//              or "REGEDIT4" (case as written, nothing after it); otherwise
//              nothing at all is read
//   comment    a line starting with ';' or '#'; also blank lines
//   [KEY]      opens KEY, creating it and the keys above it; KEY is the text
//              up to the LAST ']' (anything after it is ignored); runs of '\'
//              count as one; a root other than HKEY_LOCAL_MACHINE (any case)
//              makes the following values go nowhere; a name longer than 256
//              units cannot be made: the keys above it stay, the values go
//              nowhere; more than 512 levels count like that too
//   [-KEY]     deletes KEY and everything below it; values go nowhere until
//              the next key line
//   "[" without any ']' is ignored: values keep going to the key before
//   "N"=...    a value of the open key; @=... the default value ("" name).
//              Names and strings take the escapes \\ \" \n (LF) \r (CR); a
//              backslash before any other character is dropped ("\t" is
//              "t"); the escape \0 ends the whole import there (measured)
//   ="text"    REG_SZ; after the closing quote only blanks and a ';'
//              comment may follow, else the line is ignored
//   =dword:h   REG_DWORD from 1 to 8 hex digits (blanks may follow the
//              colon), then only blanks and a ';' comment; "DWORD:" (upper
//              case) is not understood
//   =hex:b,b   REG_BINARY; hex(N): type N (N hex) - hex(2) is REG_EXPAND_SZ,
//              hex(7) REG_MULTI_SZ. Bytes are 1 or 2 hex digits separated by
//              commas, a trailing comma allowed, no blanks inside; a '\' at
//              the end continues on the next line (blank and comment lines
//              in between are skipped); "HEX:" is not understood. The
//              bytes of hex(1), hex(2) and hex(7) are text in the file's
//              encoding: in an 8-bit file ANSI, a byte a character (a 0
//              added when the last byte is not 0), each made a UTF-16 unit,
//              so "43,00,3a,00" reads as "C", NUL, ":", NUL; in a UTF-16
//              file UTF-16 as written (a 0 unit added when the last whole
//              unit is not 0). Nothing but blanks after the ':' is an empty
//              value; no bytes otherwise (a ';' comment at once, or a '\'
//              and then the end of the file) and, in a UTF-16 file, a
//              single byte end the whole import there (regedit crashes on
//              them, measured)
//   =-         deletes the value
//   anything else is ignored; a value line outside any key goes nowhere.
// Blanks around '=' are allowed. A later value of the same name (any case)
// replaces the earlier one and keeps the first spelling.
#ifndef ZTRM_PLATFORM_NATIVE_REG_FILE_H_
#define ZTRM_PLATFORM_NATIVE_REG_FILE_H_

#include <string_view>

#include "platform/native/registry_tree.h"

namespace ztrm {

// Applies the file's HKEY_LOCAL_MACHINE part to `local_machine`.
void ApplyRegFile(std::string_view file_bytes, RegistryNode& local_machine);

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_REG_FILE_H_
