// Line-by-line reading of a file as 8-bit text, the way the description file
// scan reads it on Windows: a text-mode C stream read with fgetws into a
// buffer of 256 units.
//
//   - Each byte becomes one code unit of the same value.
//   - CR directly before LF is dropped; any other CR is kept.
//   - A line is at most 255 units and ends after its LF; a longer line comes
//     back as several pieces, of which only the last carries the LF.
//   - A Ctrl-Z byte (0x1A) ends the file: Windows text mode stops reading
//     there, so the bytes after it never become lines.
//   - NUL bytes are passed on inside the line; callers that treat the line as
//     a C string stop at the first one (see CStringPart).
//
// The file is read in chunks, so a file of any size or a line of any length
// costs a fixed amount of memory.
#ifndef ZTRM_CHASSIS_TEXT_LINE_READER_H_
#define ZTRM_CHASSIS_TEXT_LINE_READER_H_

#include <cstddef>

#include "common/wide_text.h"
#include "platform/file_system.h"

namespace ztrm {

class TextLineReader {
 public:
  static constexpr std::size_t kMaxLineUnits = 255;
  static constexpr char kCtrlZ = 0x1A;

  explicit TextLineReader(InputFile& file) : file_(file) {}
  TextLineReader(const TextLineReader&) = delete;
  TextLineReader& operator=(const TextLineReader&) = delete;

  // The next line into `line`; false once the file (or its text) has ended.
  bool ReadLine(WString& line);

 private:
  // The next byte after text-mode translation; -1 at the end.
  int NextChar();
  // The next raw byte; -1 at the end of the file.
  int NextByte();
  // Puts one raw byte back (only the one just read).
  void Unread() { --pos_; }

  InputFile& file_;
  char buffer_[4096];
  std::size_t pos_ = 0;
  std::size_t size_ = 0;
  bool ended_ = false;
};

// The part of `line` a C string routine sees: everything before its first NUL.
WStringView CStringPart(WStringView line);

}  // namespace ztrm

#endif  // ZTRM_CHASSIS_TEXT_LINE_READER_H_
