// ztrm-capture.exe: writes a system image of this machine for replay
// (system_capture.h).
//
//   ztrm-capture.exe DIR
//
// Each vendor module library is asked in a helper process, this executable
// started again with the hidden argument "--ask-library" (helper_answers.h).
// Exit code 0 when the image was written, 1 when it was refused or a file
// could not be written, 2 for a wrong command line.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "capture/helper_answers.h"
#include "capture/system_capture.h"
#include "platform/win32/win32_helper_runner.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

namespace {

int Helper(int argc, wchar_t** argv) {
  // A library that crashes ends the helper quietly, without a dialog box.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  std::vector<std::string> words;
  for (int i = 2; i < argc; ++i) {
    std::string word;
    for (const wchar_t* c = argv[i]; *c; ++c) word.push_back(static_cast<char>(*c & 0x7F));
    words.push_back(word);
  }
  ztrm::Win32DynamicLibraries libraries;
  std::string output;
  int code = ztrm::RunHelper(libraries, words, output);
  _setmode(_fileno(stdout), _O_BINARY);
  std::fwrite(output.data(), 1, output.size(), stdout);
  std::fflush(stdout);
  return code;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 2 && std::wstring(argv[1]) == L"--ask-library") return Helper(argc, argv);
  if (argc == 2 && (std::wstring(argv[1]) == L"--help" || std::wstring(argv[1]) == L"/?")) {
    std::printf(
        "usage: ztrm-capture.exe DIR\n"
        "\n"
        "Writes a system image of this machine into the folder DIR (new or empty): the\n"
        "registry values the service reads, the description files, the chassis list, the\n"
        "chassis ID table, the answers of every registered vendor module library (each asked\n"
        "in a helper process, at most 10 seconds) and of the resource driver, and a report,\n"
        "capture.txt. On Linux, ztrm-replay-setup and ztrm-sim replay the image.\n"
        "Run it as an administrator on the controller; the service need not be stopped.\n"
        "\n"
        "Exit codes: 0 the image was written; 1 refused (DIR not empty, say) or a file\n"
        "could not be written; 2 wrong command line.\n");
    return 0;
  }
  if (argc != 2 || argv[1][0] == L'-') {
    std::fprintf(stderr, "usage: ztrm-capture.exe DIR\n"
                         "Writes a system image of this machine into the folder DIR (new or empty).\n");
    return 2;
  }
  wchar_t full[4096] = {};
  DWORD length = GetFullPathNameW(argv[1], 4096, full, nullptr);
  if (length == 0 || length >= 4096) {
    std::fprintf(stderr, "ztrm-capture: cannot make a full path of the folder\n");
    return 1;
  }
  // A trailing backslash goes: the paths below add their own.
  while (length > 3 && full[length - 1] == L'\\') full[--length] = 0;
  ztrm::Win32Platform win32;
  ztrm::Win32HelperRunner runner;
  ztrm::HelperAnswerSource answers(runner, ztrm::kHelperTimeoutMs);
  ztrm::CaptureOutcome outcome =
      ztrm::CaptureSystem(win32.platform(), answers, ztrm::FromWide(full, length));
  for (const std::string& line : outcome.report) std::printf("%s\n", line.c_str());
  if (!outcome.written) {
    std::fprintf(stderr, "ztrm-capture: %s\n", outcome.refusal.c_str());
    return 1;
  }
  std::printf("Done. Send the whole folder, zipped, to your support contact.\n");
  return 0;
}
