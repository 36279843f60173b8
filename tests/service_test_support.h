// A native machine for the service host's tests: a system image, the native
// platform over it with a console that keeps what is written and a resource
// driver that answers as told, and the native service platform.
#ifndef ZTRM_TESTS_SERVICE_TEST_SUPPORT_H_
#define ZTRM_TESTS_SERVICE_TEST_SUPPORT_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/native/native_platform.h"
#include "platform/native/native_service_platform.h"
#include "tests/test_image.h"

namespace ztrm {

class CapturingConsole : public Console {
 public:
  void Write(std::string_view bytes) override;
  // What was written since the last Take.
  std::string Take();

 private:
  std::mutex mutex_;
  std::string text_;
};

// A resource driver that opens as handle 0x77 and answers every request with
// `answer` (or fails when `succeed` is false), recording what it was asked.
class ScriptedDriver : public ResourceDriver {
 public:
  struct Call {
    DriverHandle handle;
    std::uint32_t code;
    std::vector<std::uint8_t> in;
    std::vector<std::uint8_t> out_before;  // the output buffer as handed in
  };

  DriverHandle Open() override { return 0x77; }
  bool Request(DriverHandle handle, std::uint32_t code, const std::uint8_t* in, std::size_t in_size,
               std::uint8_t* out, std::size_t out_size) override;
  void Close(DriverHandle) override {}

  bool succeed = true;
  std::vector<std::uint8_t> answer;
  std::vector<Call> calls;
};

class ServiceTestMachine {
 public:
  ~ServiceTestMachine();

  // Set the image up first, then Boot.
  TestImage& image() { return image_; }
  void Boot();

  NativePlatform& native() { return *native_; }
  Platform& platform() { return *platform_; }
  NativeServicePlatform& service() { return *service_; }
  ServicePlatform& service_platform() { return service_->service_platform(); }
  ScriptedDriver& driver() { return driver_; }
  std::string TakeConsole() { return console_.Take(); }

  // The companion launches so far, one "file|parameters|directory" line each.
  std::string Launches() const { return image_.Read("launches.log"); }

 private:
  TestImage image_;
  CapturingConsole console_;
  ScriptedDriver driver_;
  std::unique_ptr<NativePlatform> native_;
  std::unique_ptr<Platform> platform_;
  std::unique_ptr<NativeServicePlatform> service_;
};

// The image of a machine with the companion installed at C:\ZELTRO\ORB and
// this system configured as the resource manager.
void MakeCompanionImage(const TestImage& image);
void ConfigureResourceManager(const TestImage& image, const std::string& name);

// An expected console transcript, tests/expected/console/<name>.
std::string ExpectedConsole(const char* name);

// How often `needle` occurs in `text`, overlaps included.
int Occurrences(const std::string& text, const std::string& needle);

}  // namespace ztrm

#endif  // ZTRM_TESTS_SERVICE_TEST_SUPPORT_H_
