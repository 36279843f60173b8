#include "tests/service_test_support.h"

namespace ztrm {

void CapturingConsole::Write(std::string_view bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  text_.append(bytes);
}

std::string CapturingConsole::Take() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string taken;
  taken.swap(text_);
  return taken;
}

bool ScriptedDriver::Request(DriverHandle handle, std::uint32_t code, const std::uint8_t* in,
                             std::size_t in_size, std::uint8_t* out, std::size_t out_size) {
  calls.push_back({handle, code, std::vector<std::uint8_t>(in, in + in_size),
                   std::vector<std::uint8_t>(out, out + out_size)});
  if (!succeed) return false;
  for (std::size_t i = 0; i < out_size && i < answer.size(); ++i) out[i] = answer[i];
  return true;
}

ServiceTestMachine::~ServiceTestMachine() {
  // The service thread and the work items end before the platform they use
  // goes; either may outlive the dispatcher call.
  if (service_) {
    service_->runtime().JoinServiceThread();
    service_->threads().JoinAll();
  }
}

void ServiceTestMachine::Boot() {
  native_ = std::make_unique<NativePlatform>(image_.root());
  native_->clock().Pin({2026, 12, 6, 5, 30, 0, 123});
  Platform& base = native_->platform();
  platform_.reset(new Platform{base.registry, base.profiles, base.files, base.libraries, driver_,
                               base.shell, base.clock, base.version, base.host, base.code_page,
                               console_});
  service_ = std::make_unique<NativeServicePlatform>(native_->clock());
}

void ConfigureResourceManager(const TestImage& image, const std::string& name) {
  image.Write("drive_c/ProgramData/PXISA/configuration.ini",
              "[ResourceManager]\r\nName = \"" + name + "\"\r\n");
}

void MakeCompanionImage(const TestImage& image) {
  image.WriteRegistry(
      "[HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System\\BIOS]\r\n"
      "\"SystemManufacturer\"=\"ZELTRO Technology\"\r\n"
      "\"SystemProductName\"=\"ZT-8840\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ZELTRO\\ORB]\r\n"
      "\"Path\"=\"C:\\\\ZELTRO\\\\ORB\"\r\n");
  image.MakeFolder("drive_c/ZELTRO/ORB");
  ConfigureResourceManager(image, "ZELTRO Technology");
}

std::string ExpectedConsole(const char* name) {
  return ReadSourceFile(std::string("tests/expected/console/") + name);
}

int Occurrences(const std::string& text, const std::string& needle) {
  int n = 0;
  for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
  return n;
}

}  // namespace ztrm
