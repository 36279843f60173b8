// ztrm-bench: how long one whole native run takes on a system image, beside
// the time it takes merely to read every input file of the image once.
//
//   ztrm-bench IMAGE [RUNS]
//
// A whole run is what ztrm-sim does: the native platform made over the image
// (registry.reg read), the worker start (companion, root bus list, version)
// and one enumeration run writing the three files. The floor reads
// registry.reg and every file below drive_c/ once, byte for byte, outputs
// excluded. Each is timed RUNS times (default 15, at least 10); the medians,
// their ratio and the process's peak resident memory are printed. The image
// is written to (its drive_c/windows outputs).
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "enumeration/run_context.h"
#include "enumeration/worker.h"
#include "platform/native/native_platform.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::vector<std::string> InputFiles(const std::string& image) {
  std::vector<std::string> files = {image + "/registry.reg"};
  const std::string outputs = image + "/drive_c/windows/";
  for (const auto& entry : std::filesystem::recursive_directory_iterator(image + "/drive_c")) {
    if (!entry.is_regular_file()) continue;
    const std::string path = entry.path().string();
    if (path.rfind(outputs, 0) == 0) continue;
    files.push_back(path);
  }
  return files;
}

std::size_t ReadAll(const std::vector<std::string>& files) {
  std::size_t bytes = 0;
  std::vector<char> buffer(1 << 16);
  for (const std::string& path : files) {
    std::ifstream in(path, std::ios::binary);
    while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0) bytes += in.gcount();
  }
  return bytes;
}

void WholeRun(const std::string& image) {
  ztrm::NativePlatform native(image);
  ztrm::RunContext ctx(native.platform());
  ztrm::EnumerationWorker worker(ctx);
  worker.Start();
  worker.PerformRun();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::printf(
        "usage: ztrm-bench IMAGE [RUNS]\n"
        "\n"
        "Times whole native runs on the system image IMAGE (what ztrm-sim does, console\n"
        "output discarded; RUNS timed runs, at least 10, default 15, after one warm-up) and,\n"
        "beside them, reading every input file of the image once; prints the medians,\n"
        "their ratio and the peak resident memory. tools/bench/make_bench_image.py makes\n"
        "the benchmark's images.\n"
        "\n"
        "Exit codes: 0 figures printed; 1 a run failed; 2 wrong command line.\n");
    return 0;
  }
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: ztrm-bench IMAGE [RUNS]\n");
    return 2;
  }
  const std::string image = argv[1];
  const int runs = argc == 3 ? std::max(10, std::atoi(argv[2])) : 15;
  if (!std::filesystem::is_directory(image + "/drive_c")) {
    std::fprintf(stderr, "ztrm-bench: %s is not a system image\n", image.c_str());
    return 1;
  }
  const std::vector<std::string> files = InputFiles(image);

  // What a run writes to the console is not part of the figures.
  std::fflush(stdout);
  const int saved_stdout = dup(1);
  const int null_fd = open("/dev/null", O_WRONLY);
  if (null_fd >= 0) dup2(null_fd, 1);

  WholeRun(image);  // warm the file cache and the outputs
  std::vector<double> run_ms, read_ms;
  std::size_t bytes = 0;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    bytes = ReadAll(files);
    read_ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    start = Clock::now();
    WholeRun(image);
    run_ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::fflush(stdout);
  if (saved_stdout >= 0) dup2(saved_stdout, 1);
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);

  const double run = Median(run_ms);
  const double floor = Median(read_ms);
  std::printf("input files: %zu, %zu bytes\n", files.size(), bytes);
  std::printf("whole run:        median %8.3f ms (min %.3f, max %.3f) over %d runs\n", run,
              *std::min_element(run_ms.begin(), run_ms.end()),
              *std::max_element(run_ms.begin(), run_ms.end()), runs);
  std::printf("read-only floor:  median %8.3f ms (min %.3f, max %.3f) over %d runs\n", floor,
              *std::min_element(read_ms.begin(), read_ms.end()),
              *std::max_element(read_ms.begin(), read_ms.end()), runs);
  std::printf("ratio run/floor:  %.1f\n", floor > 0 ? run / floor : 0.0);
  std::printf("peak memory:      %.1f MB (resident, whole process)\n", usage.ru_maxrss / 1024.0);
  return 0;
}
