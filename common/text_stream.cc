#include "common/text_stream.h"

#include <cstring>

namespace ztrm {
namespace {
constexpr std::size_t kFlushThreshold = 64 * 1024;
}  // namespace

char* TextStream::Reserve(std::size_t extra) {
  if (pending_capacity_ - pending_size_ < extra) {
    std::size_t capacity = pending_capacity_ ? pending_capacity_ : kFlushThreshold;
    while (capacity - pending_size_ < extra) capacity *= 2;
    std::unique_ptr<char[]> larger(new char[capacity]);
    if (pending_size_) std::memcpy(larger.get(), pending_.get(), pending_size_);
    pending_ = std::move(larger);
    pending_capacity_ = capacity;
  }
  return pending_.get() + pending_size_;
}

void TextStream::Write(WStringView text) {
  if (!file_) return;
  // At most two bytes for each unit: a line feed goes out as CR LF.
  char* const start = Reserve(2 * text.size());
  char* at = start;
  // Units below 0x80 are the same bytes in every multibyte code page a
  // Windows locale has (and in the "C" locale), so ASCII text is stored as it
  // is; anything else goes through the locale.
  bool ascii = true;
  for (char16_t c : text) {
    if (c >= 0x80) {
      ascii = false;
      break;
    }
    if (c == u'\n') *at++ = '\r';
    *at++ = static_cast<char>(c);
  }
  if (!ascii) {
    const std::string bytes = locale_.ToMultiByte(text);
    at = Reserve(2 * bytes.size());
    for (char c : bytes) {
      if (c == '\n') *at++ = '\r';
      *at++ = c;
    }
    pending_size_ = static_cast<std::size_t>(at - pending_.get());
  } else {
    pending_size_ += static_cast<std::size_t>(at - start);
  }
  if (pending_size_ >= kFlushThreshold) Flush();
}

void TextStream::Flush() {
  if (file_ && pending_size_ != 0) file_->Write(pending_.get(), pending_size_);
  pending_size_ = 0;
}

void TextStream::Close() {
  Flush();
  file_.reset();
}

std::unique_ptr<TextStream> OpenTextStream(FileSystem& files, WStringView path, OutputMode mode,
                                           const ProcessLocale& locale) {
  std::unique_ptr<OutputFile> file = files.OpenOutput(path, mode);
  if (!file) return nullptr;
  return std::make_unique<TextStream>(std::move(file), locale);
}

}  // namespace ztrm
