// The companion application "ORB.exe": launched hidden with "reload" after
// each run and on device arrival, "update" on removal. Nothing is read back.
#ifndef ZTRM_ENUMERATION_COMPANION_H_
#define ZTRM_ENUMERATION_COMPANION_H_

#include "common/wide_text.h"
#include "platform/platform.h"

namespace ztrm {

inline constexpr char16_t kCompanionFile[] = u"ORB.exe";

// Registry keys whose "Path" value names the companion's folder; the PXI
// keys serve as fall-back for the worker.
inline constexpr char16_t kCompanionKey[] = u"SOFTWARE\\ZELTRO\\ORB";
inline constexpr char16_t kCompanionKeyWow[] = u"SOFTWARE\\Wow6432Node\\ZELTRO\\ORB";
inline constexpr char16_t kPxiKey[] = u"SOFTWARE\\ZELTRO\\PXI";
inline constexpr char16_t kPxiKeyWow[] = u"SOFTWARE\\Wow6432Node\\ZELTRO\\PXI";

// Launches the companion with `parameters`, working in `directory`, when
// `directory` is not empty and names an existing folder; otherwise nothing.
void LaunchCompanion(Platform& platform, const WideText& directory, WStringView parameters);

// The companion's folder from the registry: the "Path" value of the first of
// `key_paths` that gives a non-empty one (values over 259 units count as
// absent); empty text when none does.
WideText ReadCompanionDir(Registry& registry, std::initializer_list<WStringView> key_paths);

}  // namespace ztrm

#endif  // ZTRM_ENUMERATION_COMPANION_H_
