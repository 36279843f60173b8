// ztrm-profile-bench: how long the native backend takes to read a 1 MB chassis
// description file whose every list is as long as a read can give (259 units),
// through the description parser, and how many profile reads that takes.
// A benchmark, not a test: it prints figures and checks nothing against a
// time.
//
//   ztrm-profile-bench [WORK_FOLDER]   (default: a new folder under /tmp)
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "chassis/description_parser.h"
#include "enumeration/run_context.h"
#include "platform/native/native_platform.h"

namespace {

class CountingProfiles : public ztrm::ProfileFiles {
 public:
  explicit CountingProfiles(ztrm::ProfileFiles& inner) : inner_(inner) {}
  ztrm::WString ReadString(ztrm::WStringView file, ztrm::WStringView section,
                           ztrm::WStringView key, ztrm::WStringView default_value,
                           std::size_t buffer_units) override {
    ++reads;
    return inner_.ReadString(file, section, key, default_value, buffer_units);
  }
  bool WriteString(ztrm::WStringView file, ztrm::WStringView section, ztrm::WStringView key,
                   ztrm::WStringView value) override {
    return inner_.WriteString(file, section, key, value);
  }
  long reads = 0;

 private:
  ztrm::ProfileFiles& inner_;
};

// Names "0".."9", "A".."Z", "a".."z", then two-character ones, as many as fit
// in 259 characters with their commas.
std::vector<std::string> FullLengthNames() {
  const std::string chars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  std::vector<std::string> names;
  std::size_t length = 0;
  auto add = [&](const std::string& name) {
    std::size_t more = name.size() + (names.empty() ? 0 : 1);
    if (length + more > 259) return false;
    names.push_back(name);
    length += more;
    return true;
  };
  for (char c : chars) {
    if (!add(std::string(1, c))) return names;
  }
  for (char a : chars) {
    for (char b : chars) {
      if (!add(std::string{a, b})) return names;
    }
  }
  return names;
}

std::string Join(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& name : names) out += (out.empty() ? "" : ",") + name;
  return out;
}

std::string DescriptionFile(std::size_t target_bytes) {
  const std::vector<std::string> names = FullLengthNames();
  const std::string list = Join(names);
  std::string f = "[Version]\r\nSpecification = \"PXI-2\"\r\nMajor = 2\r\nMinor = 3\r\n";
  // Filler sections first, so every lookup of a real section passes them.
  std::string body = "[Chassis]\r\nVendor = \"ZELTRO Technology\"\r\nModel = \"ZT-BENCH\"\r\n";
  for (const char* key : {"PCIBusSegmentList", "TriggerBusList", "TriggerBridgeList",
                          "LineMappingSpecList", "StarSystemTimingSetList", "StarTriggerList",
                          "SlotList", "PXI1BusSegmentList"}) {
    body += std::string(key) + " = " + list + "\r\n";
  }
  for (const std::string& n : names) {
    for (const char* prefix : {"PCIBusSegment", "PXI1BusSegment"}) {
      body += "[" + std::string(prefix) + n + "]\r\nSlotList = " + list + "\r\nBridgeList = " +
              list + "\r\nIDSELList = " + list + "\r\n";
      for (const std::string& m : names) body += "IDSEL" + m + " = AD" + m + "\r\n";
    }
    body += "[TriggerBus" + n + "]\r\nSlotList = " + list + "\r\n";
    body += "[StarSystemTimingSets" + n + "]\r\nSystemTimingSlot = 2\r\n";
    for (int i = 0; i < 16; ++i) body += "StarSystemTimingSet" + std::to_string(i) + " = " + list + "\r\n";
    body += "[StarTrigger" + n + "]\r\nSystemTimingSlot = 2\r\nControllerSlot = 1\r\n";
    for (int i = 0; i < 17; ++i) body += "PXI_STAR" + std::to_string(i) + " = " + n + "\r\n";
    body += "[Slot" + n + "]\r\nIDSEL = AD31\r\nLocalBusLeft = None\r\nLocalBusRight = 2\r\n"
            "ExternalBackplaneInterface = None\r\n";
    body += "[TriggerBridge" + n + "]\r\nSourceTriggerBus = 1\r\nDestinationTriggerBus = 2\r\n"
            "LineMappingSpec = 1\r\n";
    body += "[LineMappingSpec" + n + "]\r\n";
    for (int i = 0; i < 8; ++i) body += "PXI_TRIG" + std::to_string(i) + " = " + std::to_string(i) + "\r\n";
  }
  for (int i = 0; f.size() + body.size() < target_bytes; ++i) {
    f += "[Filler" + std::to_string(i) + "]\r\nKey = " + std::string(200, 'x') + "\r\n";
  }
  return f + body;
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::string work = argc > 1 ? argv[1] : (fs::temp_directory_path() / "ztrm-profile-bench").string();
  fs::remove_all(work);
  fs::create_directories(work + "/drive_c/Desc");
  const std::string bytes = DescriptionFile(1024 * 1024);
  std::ofstream(work + "/drive_c/Desc/bench.ini", std::ios::binary) << bytes;

  ztrm::NativePlatform native(work);
  CountingProfiles counting(native.platform().profiles);
  ztrm::Platform base = native.platform();
  ztrm::Platform platform{base.registry, counting,  base.files,     base.libraries,
                          base.driver,   base.shell, base.clock,     base.version,
                          base.host,     base.code_page, base.console};
  ztrm::RunContext ctx(platform);

  auto start = std::chrono::steady_clock::now();
  std::clock_t cpu_start = std::clock();
  ztrm::ParseChassisDescription(ctx, u"C:\\Desc\\bench.ini");
  double cpu_seconds = static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  const ztrm::stPXISys& sys = ctx.vecPXISys.back();
  std::printf("description file: %zu bytes, %zu bus segments of %zu IDSELs, %zu slots\n",
              bytes.size(), sys.vecPCIBusSegment.size(),
              sys.vecPCIBusSegment.empty() ? 0 : sys.vecPCIBusSegment[0].vecIDSELName.size(),
              sys.vecSlot.size());
  std::printf("profile reads: %ld\n", counting.reads);
  std::printf("native parse time: %.3f s elapsed, %.3f s of processor time (%.1f us a read)\n",
              seconds, cpu_seconds, counting.reads ? cpu_seconds * 1e6 / counting.reads : 0.0);
  fs::remove_all(work);
  return 0;
}
