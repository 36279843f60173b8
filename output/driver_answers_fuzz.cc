// Fuzz target: resource driver answers. A driver whose bridge answers, root
// bus table (every entry and the count byte) and chassis module byte come
// from the fuzz input, with a vendor library answering from the same input,
// drives whole worker starts and enumeration runs on the demo system: the
// root bus list written at the start, module discovery, slot path
// resolution and both system file writers. A bridge loop, a chain of any
// length and a table with every entry set are all inputs here.
#include <cstddef>
#include <cstdint>

#include "enumeration/worker.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/fuzzed_answers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static ztrm::fuzz::FuzzedLibraries libraries;
  static ztrm::fuzz::FuzzedDriver driver;
  static ztrm::FuzzImage image("");
  static bool ready = [] {
    image.CopyFrom(ZTRM_SOURCE_DIR "/examples/demo");
    image.UseLibraries(&libraries);
    image.UseDriver(&driver);
    return true;
  }();
  (void)ready;
  FuzzedDataProvider in(data, size);
  libraries.in = &in;
  driver.in = &in;
  libraries.missing = 0;
  // 256 chassis mean 256 parses of the description, seconds per input under
  // the fuzzer's instrumentation; module_discovery_fuzz covers huge counts.
  libraries.huge_counts = false;

  ztrm::RunContext& ctx = image.Fresh();
  ctx.LogStream.reset();  // the run opens its own log
  ztrm::EnumerationWorker worker(ctx);
  worker.Start();
  worker.PerformRun();
  libraries.in = nullptr;
  driver.in = nullptr;
  return 0;
}
