#include "chassis/text_line_reader.h"

namespace ztrm {

int TextLineReader::NextByte() {
  if (pos_ == size_) {
    if (ended_) return -1;
    size_ = file_.Read(buffer_, sizeof buffer_);
    pos_ = 0;
    if (size_ == 0) {
      ended_ = true;
      return -1;
    }
  }
  return static_cast<unsigned char>(buffer_[pos_++]);
}

int TextLineReader::NextChar() {
  int c = NextByte();
  if (c == kCtrlZ) {
    // Everything from here on is hidden from a text-mode reader.
    ended_ = true;
    pos_ = size_;
    return -1;
  }
  if (c == '\r') {
    int next = NextByte();
    if (next == '\n') return '\n';
    // A lone CR stays; the byte after it belongs to the next read. When the
    // refill hit the end of the file nothing was consumed.
    if (next != -1) Unread();
  }
  return c;
}

bool TextLineReader::ReadLine(WString& line) {
  char16_t units[kMaxLineUnits];
  std::size_t size = 0;
  while (size < kMaxLineUnits) {
    // Bytes that text mode leaves alone come straight from the buffer; a CR
    // or a Ctrl-Z goes through NextChar.
    if (pos_ < size_) {
      const unsigned char b = static_cast<unsigned char>(buffer_[pos_]);
      if (b != '\r' && b != kCtrlZ) {
        ++pos_;
        units[size++] = static_cast<char16_t>(b);
        if (b == '\n') break;
        continue;
      }
    }
    int c = NextChar();
    if (c < 0) break;
    units[size++] = static_cast<char16_t>(c);
    if (c == '\n') break;
  }
  line.assign(units, size);
  return size != 0;
}

WStringView CStringPart(WStringView line) {
  std::size_t nul = line.find(u'\0');
  return nul == WStringView::npos ? line : line.substr(0, nul);
}

}  // namespace ztrm
