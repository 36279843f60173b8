// Files and folders: exclusive output files, plain byte reads, folder listing,
// the current folder.
#ifndef ZTRM_PLATFORM_FILE_SYSTEM_H_
#define ZTRM_PLATFORM_FILE_SYSTEM_H_

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "common/wide_text.h"

namespace ztrm {

// How an output file is opened. Both modes deny every other opener, of this or
// any other process, while the file is open.
enum class OutputMode {
  kReplace,  // "w+": created or emptied
  kAppend,   // "a": created when missing, writes go to the end
};

class OutputFile {
 public:
  virtual ~OutputFile() = default;  // closes the file
  // Writes the bytes as they are; false on a write error.
  virtual bool Write(const char* data, std::size_t size) = 0;
};

class InputFile {
 public:
  virtual ~InputFile() = default;  // closes the file
  // Reads up to `size` bytes; returns how many were read, 0 at the end or on error.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Null when the file cannot be opened, for instance because another opener
  // holds it.
  virtual std::unique_ptr<OutputFile> OpenOutput(WStringView path, OutputMode mode) = 0;
  // Opens an existing file for reading bytes (shared for reading); null when it
  // cannot be opened (missing, a folder, locked).
  virtual std::unique_ptr<InputFile> OpenInput(WStringView path) = 0;
  // Names (without folder) of the entries of `folder` that match `pattern`
  // ("*.ini"), folders included, in the order the platform's listing returns
  // them. Empty when nothing matches or the folder does not exist.
  virtual std::vector<WString> ListEntries(WStringView folder, WStringView pattern) = 0;
  virtual bool SetCurrentDirectory(WStringView path) = 0;
  virtual bool DirectoryExists(WStringView path) = 0;
  // Creates one folder; false when it exists already or cannot be made.
  virtual bool CreateDirectory(WStringView path) = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_FILE_SYSTEM_H_
