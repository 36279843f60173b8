// ztrm-capture's work: a system image (registry.reg + drive_c/, README
// "system image") of the machine the platform stands for, from which
// ztrm-sim gives the run log and system files the service gives there.
//
// What goes in, each read the way the service reads it:
//   registry.reg  the PXISA keys of the view the service uses (the
//                 Wow6432Node view when "SOFTWARE\Wow6432Node\PXISA" opens;
//                 that key is kept, so the replay uses the same view):
//                 CurrentVersion's "ChassisDescriptionFilePath", the four
//                 service trees of vendors and models with "Library" and
//                 "Version", the resource managers with their version words;
//                 the four companion keys' "Path"; the computer's maker and
//                 model as the BIOS values the native backend answers from;
//                 the resource driver's answers (driver_capture.h)
//   drive_c/...   the PXISA configuration file (placed in C:\ProgramData,
//                 where the replay looks for it), every "*.ini" entry of the
//                 description folder (an entry that cannot be read becomes a
//                 folder of that name, which cannot be opened either),
//                 PXIChassisList.ini and ChassisMappingID.ini where the service
//                 looks for them, the companion folder when it exists, and
//                 drive_c/windows for the outputs (with a folder for any
//                 output name that is a folder on the machine, which the
//                 service cannot write either)
//   ztsimmod.ini  beside each vendor module library that answered: the
//                 answers of every model it serves (simulated_module.h); the
//                 "Library" values stay as they are, since the run log names
//                 them, and the library itself is replaced by a build of the
//                 simulated module at the same path
//   simulated_libraries.txt  one line per such library: the build of the
//                 simulated module, a tab, the library's path (UTF-8);
//                 ztrm-replay-setup copies the builds into place
//   capture.txt   what was captured and what the image cannot reproduce
// A library that cannot be loaded, or fails while it is asked (helper
// process crashed, hung or answered nonsense), is left out of
// simulated_libraries.txt, so the replay cannot load it either, and
// capture.txt says which it was.
//
// Nothing is written outside DIR, which must be a full path; a DIR that
// exists and is not empty is refused.
#ifndef ZTRM_CAPTURE_SYSTEM_CAPTURE_H_
#define ZTRM_CAPTURE_SYSTEM_CAPTURE_H_

#include <optional>
#include <string>
#include <vector>

#include "capture/model_answers.h"
#include "common/wide_text.h"
#include "platform/platform.h"

namespace ztrm {

// Where a model's library calls are made; the Windows executable makes them
// in a helper process (helper_answers.h), tests in-process.
class ModelAnswerSource {
 public:
  virtual ~ModelAnswerSource() = default;
  // The answers; nullopt when the library failed while being asked, with
  // `failure` saying how.
  virtual std::optional<ModelAnswers> Ask(const ModelRequest& request,
                                          const ServiceBuffers& buffers,
                                          std::string& failure) = 0;
};

// Asks in this process (the helper itself, and the native tests).
class InProcessAnswerSource : public ModelAnswerSource {
 public:
  explicit InProcessAnswerSource(DynamicLibraries& libraries) : libraries_(libraries) {}
  std::optional<ModelAnswers> Ask(const ModelRequest& request, const ServiceBuffers& buffers,
                                  std::string& failure) override;

 private:
  DynamicLibraries& libraries_;
};

struct CaptureOutcome {
  bool written = false;
  std::string refusal;              // why nothing was written
  std::vector<std::string> report;  // the lines of capture.txt
};

CaptureOutcome CaptureSystem(Platform& platform, ModelAnswerSource& answers, WStringView dir);

// "C:\rest" (any case of the drive letter) as "drive_c\rest" of an image;
// nullopt for a path on another drive or not a full drive path.
std::optional<WString> ImageRelativePath(WStringView windows_path);

}  // namespace ztrm

#endif  // ZTRM_CAPTURE_SYSTEM_CAPTURE_H_
