// ztrm-check's core: what the service would take from one chassis
// description file, and what it would silently ignore, cut or read otherwise
// than the author probably meant.
//
// Everything the report says the service reads comes from the service's own
// code, run on the file through the platform layer: the discovery scan
// (ScanDescriptionFile) and the mapping's key lines (VendorKeyText,
// ModelKeyText) for vendor and model, the parser (ParseChassisDescription)
// for the rest, slot path resolution (mf_MarkMappedSlots,
// mf_GetSlotDeviceNumber, mf_GetSlotBusSegment) for the slots' places. The
// parser is watched through a profile reader that notes every (section, key)
// it asks for. Only the line numbers, and which line a read lands on, come
// from the pure profile text model (profile_text.h), which follows the
// platform's reading rules.
//
// Refused outright (one line, nothing else): a folder, a file that cannot be
// opened, an empty file, a file over kMaxFileBytes, a file holding NUL bytes
// that is not UTF-16 with a byte order mark (binary data), a line over
// kMaxLineBytes. A description needs none of these and a report on them
// would be noise.
#ifndef ZTRM_TOOLS_DESCRIPTION_CHECK_H_
#define ZTRM_TOOLS_DESCRIPTION_CHECK_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "chassis/chassis_records.h"
#include "platform/native/profile_text.h"
#include "platform/platform.h"
#include "tools/profile_index.h"

namespace ztrm {

inline constexpr std::size_t kMaxFileBytes = 2u << 20;
inline constexpr std::size_t kMaxLineBytes = 64u << 10;
// A report lists the warnings of the first lines only; a file that earns more
// is not a description gone slightly wrong.
inline constexpr std::size_t kMaxWarnings = 1000;

// The kinds a warning can have, as the JSON report names them.
inline constexpr const char* kWarningKinds[] = {
    "encoding",          // UTF-16, or a UTF-8 mark before a vendor or model beyond ASCII
    "vendor-line",       // the Vendor line discovery keeps never matches a chassis
    "model-line",        // the same for Model
    "replaced-line",     // a later line containing Vendor/Model replaces the [Chassis] one
    "segment-count",     // bus segment headers counted otherwise than segments listed
    "unknown-section",   // a section the parser never reads
    "duplicate-section", // a second section of a name: never read
    "unread-key",        // a key the parser never asks for (PXI_STAR17, ...)
    "duplicate-key",     // a second key of a name in a section: never read
    "no-value",          // a line without '=' in a section: reads as missing
    "cut-value",         // a value longer than 259 characters: cut
    "idsel-device",      // an IDSEL name that gives a slot no valid PCI device number
    "idsel-no-slot",     // an IDSEL value that names no slot
    "slot-named-twice",  // a slot named by two IDSEL values: the first decides
    "segments-unused",   // PCI bus segment IDSELs ignored beside PXI-1 bus segments
    "repeated-name",     // a name given twice in a list: each entry is taken on its own
};

struct CheckWarning {
  std::size_t line = 0;  // 0: the file as a whole
  std::string kind;
  std::string message;  // UTF-8
};

// Discovery's view of the Vendor or Model line.
struct KeyLine {
  bool found = false;     // some line contains the word
  std::size_t line = 0;   // of the line kept (the last one)
  bool matches = false;   // it has the one form the mapping matches
  WString name;           // the vendor or model it matches, when it does
};

// Where slot path resolution puts a slot.
struct SlotPlace {
  bool named = false;  // some bus segment of the kind in use names it
  std::uint16_t device = 0;
  std::uint16_t segment = 0;  // position in the segments of the kind in use
};

struct DescriptionCheck {
  std::string file;   // as the command line named it, UTF-8
  std::string error;  // set: refused, nothing else below is filled
  KeyLine vendor, model;
  std::uint32_t bus_segment_headers = 0;
  stPXISys sys;                  // as the parser read it
  std::vector<SlotPlace> slots;  // one per sys.vecSlot
  ProfileDocument document;      // the line model of the same bytes
  ProfileIndex index;            // its lookups
  std::vector<CheckWarning> warnings;  // in line order, at most kMaxWarnings
  std::size_t warnings_left_out = 0;   // beyond kMaxWarnings

  // The section a read of `name` lands on, and where it stands (0: none).
  const ProfileSection* Section(WStringView name) const { return index.Section(document, name); }
  const ProfileEntry* Entry(WStringView section, WStringView key) const {
    return index.Entry(document, section, key);
  }
  std::size_t SectionLine(WStringView name) const {
    const ProfileSection* s = Section(name);
    return s ? s->line : 0;
  }

  // No chassis can ever be matched to the file.
  bool Unusable() const { return !error.empty() || !vendor.matches || !model.matches; }
  // 0 clean, 1 warnings, 2 refused or unusable.
  int ExitCode() const { return Unusable() ? 2 : warnings.empty() ? 0 : 1; }
  std::size_t WarningCount() const { return warnings.size() + warnings_left_out; }
};

// Checks the description file at `path` (a full path as the platform names
// files). Nothing is written.
DescriptionCheck CheckDescriptionFile(Platform& platform, WStringView path, std::string display);

}  // namespace ztrm

#endif  // ZTRM_TOOLS_DESCRIPTION_CHECK_H_
