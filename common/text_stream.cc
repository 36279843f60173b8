#include "common/text_stream.h"

namespace ztrm {
namespace {
constexpr std::size_t kFlushThreshold = 64 * 1024;
}  // namespace

void TextStream::Write(WStringView text) {
  if (!file_) return;
  std::string bytes = locale_.ToMultiByte(text);
  pending_.reserve(pending_.size() + bytes.size() + 16);
  for (char c : bytes) {
    if (c == '\n') pending_.push_back('\r');
    pending_.push_back(c);
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
