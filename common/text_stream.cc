#include "common/text_stream.h"

namespace ztrm {
namespace {
constexpr std::size_t kFlushThreshold = 64 * 1024;
}  // namespace

void TextStream::Write(WStringView text) {
  if (!file_) return;
  // Units below 0x80 are the same bytes in every multibyte code page a
  // Windows locale has (and in the "C" locale), so pure ASCII text skips the
  // conversion. A line feed goes out as CR LF.
  std::size_t line_feeds = 0;
  char16_t all_units = 0;
  for (char16_t c : text) {
    all_units |= c;
    line_feeds += c == u'\n';
  }
  const std::size_t start = pending_.size();
  if (all_units < 0x80) {
    pending_.resize(start + text.size() + line_feeds);
    char* at = &pending_[start];
    if (line_feeds == 0) {
      for (char16_t c : text) *at++ = static_cast<char>(c);
    } else {
      for (char16_t c : text) {
        if (c == u'\n') *at++ = '\r';
        *at++ = static_cast<char>(c);
      }
    }
  } else {
    const std::string bytes = locale_.ToMultiByte(text);
    pending_.resize(start + 2 * bytes.size());
    char* at = &pending_[start];
    for (char c : bytes) {
      if (c == '\n') *at++ = '\r';
      *at++ = c;
    }
    pending_.resize(static_cast<std::size_t>(at - pending_.data()));
  }
  if (pending_.size() >= kFlushThreshold) Flush();
}

void TextStream::Flush() {
  if (file_ && !pending_.empty()) file_->Write(pending_.data(), pending_.size());
  pending_.clear();
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
