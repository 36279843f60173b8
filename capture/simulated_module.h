// Captured library answers as the simulated vendor module's configuration
// (ztsimmod.ini, README "The simulated vendor module"), and the build of the
// simulated module that lacks the same exports.
//
// One section per module or chassis, in index order, so the simulated
// module's numbering by file order gives back each index; a count above the
// sections (more than the service reads) is kept as ReportedCount. Values
// are written in double quotes, so blanks around a name stay. Whatever the
// format cannot hold is returned as a note instead: a name with a line
// break, or one unterminated name beside a terminated one (UnterminatedNames
// fills both).
#ifndef ZTRM_CAPTURE_SIMULATED_MODULE_H_
#define ZTRM_CAPTURE_SIMULATED_MODULE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "capture/model_answers.h"

namespace ztrm {

// The sections of one model's answers. `notes` gets one line per thing the
// sections cannot reproduce.
std::string SimulatedModuleSections(const ModelRequest& request, const ModelAnswers& answers,
                                    std::vector<std::string>& notes);

// The builds of simmodule/ and the exports each lacks (ExportBit mask).
struct SimulatedModuleBuild {
  const char* name;  // library file name without extension
  std::uint32_t omitted;
};
const std::vector<SimulatedModuleBuild>& SimulatedModuleBuilds();

// The first build that the service cannot tell from a library with `exports`
// in the stages the library serves (`stages`: a bit per ModuleStage): what
// decides each stage's course and log lines is the same (a stage without its
// GetCount looks at nothing else; a system module stage without GetName
// looks at no other export). Null when no build answers alike.
const SimulatedModuleBuild* MatchingBuild(std::uint32_t exports, std::uint32_t stages);
inline constexpr std::uint32_t StageBit(ModuleStage stage) {
  return 1u << static_cast<int>(stage);
}

}  // namespace ztrm

#endif  // ZTRM_CAPTURE_SIMULATED_MODULE_H_
