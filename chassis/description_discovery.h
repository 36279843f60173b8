// Finding the chassis description files: the folder the PXISA registry names
// is listed for "*.ini", and each file is scanned (not parsed) for the raw
// lines that the chassis mapping compares with a chassis's vendor and model.
#ifndef ZTRM_CHASSIS_DESCRIPTION_DISCOVERY_H_
#define ZTRM_CHASSIS_DESCRIPTION_DISCOVERY_H_

#include <cstdint>

#include "enumeration/run_context.h"

namespace ztrm {

inline constexpr char16_t kPxisaCurrentVersionKey[] = u"SOFTWARE\\PXISA\\CurrentVersion";
inline constexpr char16_t kPxisaCurrentVersionKeyWow[] =
    u"SOFTWARE\\Wow6432Node\\PXISA\\CurrentVersion";
inline constexpr char16_t kChassisDescriptionFilePathValue[] = u"ChassisDescriptionFilePath";

// Lists the chassis description files of the folder the PXISA registry names
// into RunContext::vecChassisDescFile (in listing order), logging what it
// finds.
//
// The folder value is read into a 260-unit buffer: a value that does not fit
// counts as missing. A missing or empty folder value is logged as an empty
// folder and nothing is listed: no path built from an empty folder names a
// description file, and listing "\*.ini" would only scan the root of
// whatever drive is current. The current folder is not changed then.
//
// Anything that lists but does not open (a folder named "x.ini", a file that
// vanished after the listing, a locked file, a path cut at 259 units) is
// logged and skipped. Each file is scanned, not parsed: see the line rules in
// text_line_reader.h and the vendor, model and header rules in the .cc.
void FindChassisDescriptionFiles(RunContext& ctx);

// The scan of one opened file: the last line containing "Vendor" into
// szVendorLine, the last containing "Model" into szModelLine (each as read,
// line feed included) and the number of bus segment section headers into
// dwBusSegmentCount. The other fields are left as they are.
void ScanDescriptionFile(InputFile& file, stChassisDescFile& record);

}  // namespace ztrm

#endif  // ZTRM_CHASSIS_DESCRIPTION_DISCOVERY_H_
