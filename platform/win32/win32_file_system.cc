#include "platform/win32/win32_file_system.h"

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

namespace ztrm {
namespace {

// The largest single ReadFile/WriteFile transfer: their sizes are DWORDs.
constexpr std::size_t kMaxTransfer = 0x40000000;

class Win32OutputFile : public OutputFile {
 public:
  Win32OutputFile(HANDLE file, bool append) : file_(file), append_(append) {}
  ~Win32OutputFile() override { CloseHandle(file_); }
  Win32OutputFile(const Win32OutputFile&) = delete;
  Win32OutputFile& operator=(const Win32OutputFile&) = delete;

  bool Write(const char* data, std::size_t size) override {
    // The C runtime's "a" mode moves to the end before every write; the file is
    // held exclusively, but the same rule keeps the two modes honest.
    if (append_) {
      LARGE_INTEGER zero;
      zero.QuadPart = 0;
      if (!SetFilePointerEx(file_, zero, nullptr, FILE_END)) return false;
    }
    while (size > 0) {
      const DWORD chunk = static_cast<DWORD>(size < kMaxTransfer ? size : kMaxTransfer);
      DWORD written = 0;
      if (!WriteFile(file_, data, chunk, &written, nullptr) || written != chunk) return false;
      data += chunk;
      size -= chunk;
    }
    return true;
  }

 private:
  HANDLE file_;
  bool append_;
};

class Win32InputFile : public InputFile {
 public:
  explicit Win32InputFile(HANDLE file) : file_(file) {}
  ~Win32InputFile() override { CloseHandle(file_); }
  Win32InputFile(const Win32InputFile&) = delete;
  Win32InputFile& operator=(const Win32InputFile&) = delete;

  std::size_t Read(char* buffer, std::size_t size) override {
    const DWORD chunk = static_cast<DWORD>(size < kMaxTransfer ? size : kMaxTransfer);
    DWORD read = 0;
    if (!ReadFile(file_, buffer, chunk, &read, nullptr)) return 0;
    return read;
  }

 private:
  HANDLE file_;
};

}  // namespace

std::unique_ptr<OutputFile> Win32FileSystem::OpenOutput(WStringView path, OutputMode mode) {
  const WString path_z = Terminated(path);
  const bool append = mode == OutputMode::kAppend;
  // Share mode 0: nobody else, in this process or another, opens the file
  // while it is being written.
  HANDLE file = CreateFileW(AsWide(path_z.c_str()), GENERIC_WRITE, 0, nullptr,
                            append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32OutputFile>(file, append);
}

std::unique_ptr<InputFile> Win32FileSystem::OpenInput(WStringView path) {
  const WString path_z = Terminated(path);
  // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open, as with fopen.
  HANDLE file =
      CreateFileW(AsWide(path_z.c_str()), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32InputFile>(file);
}

std::vector<WString> Win32FileSystem::ListEntries(WStringView folder, WStringView pattern) {
  WString search(folder);
  search += u'\\';
  search += pattern;
  std::vector<WString> names;
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW(AsWide(search.c_str()), &entry);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const WString name = FromWide(entry.cFileName);
    if (name != u"." && name != u"..") names.push_back(name);
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  return names;
}

bool Win32FileSystem::SetCurrentDirectory(WStringView path) {
  const WString path_z = Terminated(path);
  return SetCurrentDirectoryW(AsWide(path_z.c_str())) != FALSE;
}

bool Win32FileSystem::DirectoryExists(WStringView path) {
  const WString path_z = Terminated(path);
  const DWORD attributes = GetFileAttributesW(AsWide(path_z.c_str()));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32FileSystem::CreateDirectory(WStringView path) {
  const WString path_z = Terminated(path);
  return CreateDirectoryW(AsWide(path_z.c_str()), nullptr) != FALSE;
}

}  // namespace ztrm
