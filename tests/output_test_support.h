// Test helpers for the output stages: a system image whose registry carries
// the simulated resource driver's configuration, the native platform over it
// with a driver decorator that counts requests and can be made to fail from
// the n-th one on, and a run context.
#ifndef ZTRM_TESTS_OUTPUT_TEST_SUPPORT_H_
#define ZTRM_TESTS_OUTPUT_TEST_SUPPORT_H_

#include <memory>
#include <string>
#include <vector>

#include "enumeration/run_context.h"
#include "platform/native/native_platform.h"
#include "tests/test_image.h"

namespace ztrm {

class CountingDriver : public ResourceDriver {
 public:
  explicit CountingDriver(ResourceDriver& inner) : inner_(inner) {}
  DriverHandle Open() override {
    ++opens;
    return inner_.Open();
  }
  bool Request(DriverHandle handle, std::uint32_t code, const std::uint8_t* in, std::size_t in_size,
               std::uint8_t* out, std::size_t out_size) override;
  void Close(DriverHandle handle) override { inner_.Close(handle); }

  int opens = 0;
  std::vector<std::uint32_t> codes;       // every request's code, in order
  std::vector<int> upstream_buses;        // the bus of every upstream request
  int fail_from = -1;                     // requests from this index on fail (-1: none)

 private:
  ResourceDriver& inner_;
};

// The registry body lines of a driver with these Parameters values (each
// "name"=value line given whole).
std::string DriverRegistry(const std::vector<std::string>& parameter_lines);

class OutputBench {
 public:
  // `registry_body`: registry.reg without its header line.
  explicit OutputBench(const std::string& registry_body = "");
  ~OutputBench();

  TestImage image;
  RunContext& ctx();
  NativePlatform& native();
  CountingDriver& driver();
  // A file of drive_c/windows, as bytes; "" when missing.
  std::string WindowsFile(const std::string& name) const {
    return image.Read("drive_c/windows/" + name);
  }
  bool WindowsFileExists(const std::string& name) const {
    return image.Exists("drive_c/windows/" + name);
  }

 private:
  struct Live;
  std::unique_ptr<Live> live_;
};

}  // namespace ztrm

#endif  // ZTRM_TESTS_OUTPUT_TEST_SUPPORT_H_
