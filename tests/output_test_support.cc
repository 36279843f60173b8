#include "tests/output_test_support.h"

#include "driver/ztrmdrv_config.h"

namespace ztrm {

bool CountingDriver::Request(DriverHandle handle, std::uint32_t code, const std::uint8_t* in,
                             std::size_t in_size, std::uint8_t* out, std::size_t out_size) {
  const int index = static_cast<int>(codes.size());
  codes.push_back(code);
  if (code == rmdrv::DAS_IOC_GET_UPSTREAM_BRIDGE && in_size == 1) upstream_buses.push_back(in[0]);
  if (fail_from >= 0 && index >= fail_from) return false;
  return inner_.Request(handle, code, in, in_size, out, out_size);
}

std::string DriverRegistry(const std::vector<std::string>& parameter_lines) {
  std::string body = "[HKEY_LOCAL_MACHINE\\" ZTRMDRV_PARAMETERS_KEY "]\n";
  for (const std::string& line : parameter_lines) body += line + "\n";
  return body;
}

struct OutputBench::Live {
  explicit Live(const std::string& root)
      : native(root),
        driver(native.platform().driver),
        platform{native.platform().registry, native.platform().profiles,
                 native.platform().files,    native.platform().libraries,
                 driver,                     native.platform().shell,
                 native.platform().clock,    native.platform().version,
                 native.platform().host,     native.platform().code_page,
                 native.platform().console},
        ctx(platform) {}
  NativePlatform native;
  CountingDriver driver;
  Platform platform;
  RunContext ctx;
};

OutputBench::OutputBench(const std::string& registry_body) {
  image.WriteRegistry(registry_body);
  live_ = std::make_unique<Live>(image.root());
}

OutputBench::~OutputBench() = default;

RunContext& OutputBench::ctx() { return live_->ctx; }
NativePlatform& OutputBench::native() { return live_->native; }
CountingDriver& OutputBench::driver() { return live_->driver; }

}  // namespace ztrm
