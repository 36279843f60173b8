#include "common/text_stream.h"

namespace ztrm {
namespace {
constexpr std::size_t kFlushThreshold = 64 * 1024;
}  // namespace

void TextStream::Write(WStringView text) {
  if (!file_) return;
  const std::string bytes = locale_.ToMultiByte(text);
  // At most two bytes for each: a line feed goes out as CR LF.
  const std::size_t start = pending_.size();
  pending_.resize(start + 2 * bytes.size());
  char* at = pending_.data() + start;
  for (char c : bytes) {
    if (c == '\n') *at++ = '\r';
    *at++ = c;
  }
  pending_.resize(static_cast<std::size_t>(at - pending_.data()));
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
