// Fuzz target: vendor module answers. An in-memory vendor library answers
// every call from the fuzz input (counts up to 0xFFFFFFFF, names that fill
// the whole 260-byte buffers without a zero, EEPROM images, information
// values, root bus numbers; the first byte chooses which exports are
// missing), driven through the PXISA registry enumeration and module
// discovery of a system with two system-module models, a peripheral-module
// model and a chassis model that a description file describes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "chassis/description_discovery.h"
#include "inventory/module_discovery.h"
#include "inventory/pxisa_registry.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/fuzzed_answers.h"

namespace {

const char kRegistry[] =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\CurrentVersion]\r\n"
    "\"ChassisDescriptionFilePath\"=\"C:\\\\Desc\"\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\System Modules\\V\\S1]\r\n"
    "\"Library\"=\"C:\\\\F\\\\fuzz.dll\"\r\n\"Version\"=dword:00010000\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\System Modules\\W\\S2]\r\n"
    "\"Library\"=\"C:\\\\F\\\\fuzz.dll\"\r\n\"Version\"=dword:00010000\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\Peripheral Modules\\V\\P1]\r\n"
    "\"Library\"=\"C:\\\\F\\\\fuzz.dll\"\r\n\"Version\"=dword:00010000\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\Chassis\\V\\C1]\r\n"
    "\"Library\"=\"C:\\\\F\\\\fuzz.dll\"\r\n\"Version\"=dword:00010000\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\Trigger Managers\\V\\C1]\r\n"
    "\"Library\"=\"C:\\\\F\\\\trig.dll\"\r\n\"Version\"=dword:00010000\r\n";

const char kDescription[] =
    "[Chassis]\r\nVendor = \"V\"\r\nModel = \"C1\"\r\nPCIBusSegmentList = \"1,2,3\"\r\n"
    "SlotList = \"1,2,3,4\"\r\n"
    "[PCIBusSegment1]\r\nSlotList = \"1,2\"\r\n[PCIBusSegment2]\r\nSlotList = \"3\"\r\n"
    "[PCIBusSegment3]\r\nSlotList = \"4\"\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static ztrm::fuzz::FuzzedLibraries libraries;
  static ztrm::FuzzImage image(kRegistry);
  static bool ready = [] {
    image.Write("drive_c/Desc/c1.ini", kDescription);
    image.UseLibraries(&libraries);
    return true;
  }();
  (void)ready;
  FuzzedDataProvider in(data, size);
  libraries.in = &in;
  // Rarely a missing export: most inputs go the whole way.
  libraries.missing = in.ConsumeIntegral<std::uint8_t>() < 224 ? 0 : in.ConsumeIntegral<std::uint16_t>();

  ztrm::RunContext& ctx = image.Fresh();
  ztrm::QueryPxisaRegistry(ctx);
  ztrm::FindChassisDescriptionFiles(ctx);
  ztrm::DiscoverModules(ctx);
  libraries.in = nullptr;
  return 0;
}
