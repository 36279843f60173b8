#include "platform/win32/win32_helper_runner.h"

#include "platform/win32/win32_windows.h"

namespace ztrm {
namespace {

struct Handle {
  HANDLE h = nullptr;
  ~Handle() {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

// Drains the pipe on a thread of its own, so a helper that writes more than
// the pipe holds is never blocked while the caller waits for its end.
struct PipeReader {
  HANDLE pipe;
  std::string output;
  static DWORD WINAPI Drain(LPVOID self) {
    auto* reader = static_cast<PipeReader*>(self);
    char chunk[4096];
    DWORD n = 0;
    while (ReadFile(reader->pipe, chunk, sizeof chunk, &n, nullptr) && n > 0) {
      reader->output.append(chunk, n);
    }
    return 0;
  }
};

}  // namespace

HelperRun Win32HelperRunner::Run(const std::vector<std::string>& words, std::uint32_t timeout_ms) {
  HelperRun run;
  wchar_t self[MAX_PATH + 1] = {};
  DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return run;
  // The words are hexadecimal and digits only, so they need no quoting.
  std::wstring command = L"\"" + std::wstring(self, length) + L"\" ";
  for (const char* c = kHelperArgument; *c; ++c) command.push_back(static_cast<wchar_t>(*c));
  for (const std::string& word : words) {
    command.push_back(L' ');
    for (char c : word) command.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  }
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  Handle read_end, write_end;
  if (!CreatePipe(&read_end.h, &write_end.h, &inherit, 0)) return run;
  SetHandleInformation(read_end.h, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write_end.h;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);  // only the answers come through the pipe
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, &process)) {
    return run;
  }
  Handle process_handle{process.hProcess}, thread_handle{process.hThread};
  CloseHandle(write_end.h);  // the helper holds the only write end now
  write_end.h = nullptr;
  // On the heap: a reader still blocked at the end (a grandchild kept the
  // pipe open) is left with its buffer and pipe rather than freed under it.
  auto* reader = new PipeReader{read_end.h, {}};
  read_end.h = nullptr;
  Handle drain{CreateThread(nullptr, 0, &PipeReader::Drain, reader, 0, nullptr)};
  if (WaitForSingleObject(process.hProcess, timeout_ms) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 5000);
    run.outcome = HelperRun::Outcome::kTimedOut;
  } else {
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    run.outcome = HelperRun::Outcome::kEnded;
    run.exit_code = code;
  }
  if (!drain.h) {
    CloseHandle(reader->pipe);
    delete reader;
    return run;
  }
  if (WaitForSingleObject(drain.h, 5000) == WAIT_OBJECT_0) {
    run.output = reader->output;
    CloseHandle(reader->pipe);
    delete reader;
  } else if (run.outcome == HelperRun::Outcome::kEnded) {
    run.exit_code = 0xFFFFFFFF;  // its output never ended: not whole answers
  }
  return run;
}

}  // namespace ztrm
