// An output file written the way a Windows text-mode C stream writes it.
//
// Wide text is stored in the multibyte code page of the process's current
// locale, and every LF written becomes CR LF; so a message ending in "\r\n"
// lands as CR CR LF. The same code produces the same bytes on every platform.
// Write errors are ignored: the file is complete once it is closed.
#ifndef ZTRM_COMMON_TEXT_STREAM_H_
#define ZTRM_COMMON_TEXT_STREAM_H_

#include <memory>
#include <string>

#include "common/process_locale.h"
#include "common/wide_format.h"
#include "platform/file_system.h"

namespace ztrm {

class TextStream {
 public:
  TextStream(std::unique_ptr<OutputFile> file, const ProcessLocale& locale)
      : file_(std::move(file)), locale_(locale) {}
  ~TextStream() { Close(); }
  TextStream(const TextStream&) = delete;
  TextStream& operator=(const TextStream&) = delete;

  void Write(WStringView text);
  template <typename... Args>
  void Print(WStringView format, const Args&... args) {
    scratch_.clear();
    AppendFormatWideArgs(scratch_, format, {FormatArg(args)...});
    Write(scratch_);
  }
  // Flushes and closes; later writes are dropped.
  void Close();

 private:
  void Flush();

  std::unique_ptr<OutputFile> file_;
  const ProcessLocale& locale_;
  // Room for `extra` more bytes in pending_.
  char* Reserve(std::size_t extra);

  // Bytes not yet written: pending_[0, pending_size_).
  std::unique_ptr<char[]> pending_;
  std::size_t pending_size_ = 0;
  std::size_t pending_capacity_ = 0;
  WString scratch_;  // Print's message, kept to spare an allocation per line
};

// Opens `path` through the platform as a text stream; null when the open fails.
std::unique_ptr<TextStream> OpenTextStream(FileSystem& files, WStringView path, OutputMode mode,
                                           const ProcessLocale& locale);

}  // namespace ztrm

#endif  // ZTRM_COMMON_TEXT_STREAM_H_
