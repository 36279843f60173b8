// What ztrm-view draws: the chassis of one run as its pxisys.ini and
// pxiesys.ini describe them (and the run log, when given), gathered into
// one record per chassis. Pure: file bytes in, model out; no file access.
//
// How the two files are joined:
// - chassis come in the order of pxisys.ini's ChassisList, then those only
//   pxiesys.ini lists; a chassis is the same in both files by its ID;
// - a chassis's slots are the names of pxiesys.ini's SlotList, then those of
//   pxisys.ini's SlotList and of its PCI bus segments' SlotLists not named
//   yet (pxisys.ini's own SlotList leaves out the slots it gives no PCI
//   position, all but slot 1 of a PXI Express chassis), each once; they are
//   drawn in chassis order, by number when every name is a number, else in
//   that order;
// - trigger buses, trigger bridges and star triggers are taken from
//   pxiesys.ini for a chassis it describes (pxisys.ini leaves the slots of a
//   PXI Express chassis's trigger buses out), else from pxisys.ini; PCI bus
//   segments and each slot's bus and device number come from pxisys.ini,
//   slot types and modules from pxiesys.ini;
// - the system slot is slot "1" (both files put the system controller there),
//   or the first slot when no slot is named "1"; the timing slot is the
//   SystemTimingSlot of pxiesys.ini's star triggers or star system timing sets
//   (or the slot of type "PXIeSystemTimingSlot"), else the ControllerSlot of
//   the star triggers (the star trigger controller slot of a PXI chassis).
//
// Bad input never stops the reading: what cannot be drawn is left out and
// named in `skipped`, and every list is bounded (kMax*), so the page stays
// small whatever the files hold.
#ifndef ZTRM_TOOLS_VIEW_SYSTEM_VIEW_MODEL_H_
#define ZTRM_TOOLS_VIEW_SYSTEM_VIEW_MODEL_H_

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ztrm {

// Bounds of the model (README, "ztrm-view").
constexpr std::size_t kMaxViewChassis = 32;
constexpr std::size_t kMaxViewSlots = 64;          // per chassis
constexpr std::size_t kMaxViewGroups = 16;         // segments, trigger buses, bridges, star triggers
constexpr std::size_t kMaxViewStarLines = 64;      // per star trigger
constexpr std::size_t kMaxViewSkipped = 100;       // notes kept; the rest are counted
constexpr std::size_t kMaxViewLogProblems = 50;    // "Fail" lines kept from the run log
constexpr std::size_t kMaxViewFileBytes = 16u << 20;  // a file's bytes read
constexpr std::size_t kMaxViewText = 259;          // characters of any one text
// The page's bound: chassis are left out (and named) once the page drawn so
// far could pass this many bytes, counting every text at its longest escaped
// form; the page may pass it only by its fixed frame and the notes.
constexpr std::size_t kMaxViewPageBytes = 8u << 20;
// A run's decision trail on the page: bytes of one chassis's or module's
// explanation (cut with an ellipsis past it), items of the "left out" list
// (the rest counted).
constexpr std::size_t kMaxViewTrailText = 2000;
constexpr std::size_t kMaxViewLeftOut = 100;

// All texts are UTF-8, as read from the files, each cut to its first 259
// characters (kMaxViewText); list values are read whole before splitting.
struct ViewModule {
  std::string model, vendor, instance, address_info;
  std::string bus, device;  // from AddressInfo "PCI::bus::device::function"; empty when it has no such form
  std::string link_width_max, link_width_negotiated;
  std::string trail;  // the run's decisions about it; empty without a trail
};

struct ViewSlot {
  std::string name;
  // More than 1 when some list of the files names the slot more than once
  // (the most times one list does); the slot is drawn once all the same, and
  // `repeat_note` says what the files hold.
  std::size_t times_listed = 1;
  std::string repeat_note;
  bool system_slot = false;
  bool timing_slot = false;
  std::string slot_type;                 // pxiesys.ini SlotType
  std::string pci_bus, pci_device, pci_path;  // pxisys.ini, as written ("None" included)
  std::optional<ViewModule> module;      // the controller for the system slot
};

// A named group of slots: a PCI bus segment or a trigger bus. `slots` are
// positions in ViewChassis::slots.
struct ViewSlotGroup {
  std::string name;
  std::vector<std::size_t> slots;
};

struct ViewTriggerBridge {
  std::string name, source_bus, destination_bus, line_mapping;
};

struct ViewStarLine {
  std::string line;  // the number after PXI_STAR
  std::size_t slot;  // position in ViewChassis::slots
};

struct ViewStarTrigger {
  std::string number;     // the section's number, 1, 2, ...
  std::string from_slot;  // SystemTimingSlot or ControllerSlot
  std::vector<ViewStarLine> lines;
};

struct ViewChassis {
  std::string id;  // decimal, 0 to 65535
  std::string model, vendor, serial_number, description_file, trigger_manager;
  bool in_pxisys = false, in_pxiesys = false;
  std::vector<ViewSlot> slots;
  std::vector<ViewSlotGroup> segments;
  std::vector<ViewSlotGroup> trigger_buses;
  std::vector<ViewTriggerBridge> bridges;
  std::vector<ViewStarTrigger> star_triggers;
  std::string trail;  // the run's decisions about it; empty without a trail
};

struct ViewRun {
  std::string time;  // the run banner's time, as written
  std::string host_manufacturer, host_model;
  std::vector<std::string> problems;  // log lines holding "Fail"
};

// What the run that wrote the files decided, and why: its decision trail as
// `ztrm-sim --explain` tells it. Only the process that ran the enumeration
// has it (`ztrm-sim --html`); ztrm-view on files alone draws without. Texts
// are UTF-8 as the explanation prints them (hidden characters already shown
// escaped), one item each: its title, where it ended up, its decisions.
struct ViewTrail {
  // Each chassis and module written, by the section it stands in:
  // "Chassis2", "Chassis2Slot5" (pxiesys.ini's section of a module).
  std::map<std::string, std::string> placed;
  // The chassis and modules (and models cut) written nowhere.
  std::vector<std::string> left_out;
  std::size_t left_out_not_kept = 0;
};

struct SystemView {
  std::vector<ViewChassis> chassis;
  std::optional<ViewRun> run;          // when a run log was given
  std::vector<std::string> skipped;    // what could not be drawn, one sentence each
  std::size_t skipped_not_kept = 0;    // notes past kMaxViewSkipped
  // With a trail: what the run wrote nowhere (at most kMaxViewLeftOut, each
  // at most kMaxViewTrailText bytes) and how many more.
  bool has_trail = false;
  std::vector<std::string> left_out;
  std::size_t left_out_not_kept = 0;
};

// The inputs: each file's bytes, nullopt when not given or unreadable (the
// reason, if any, goes into `unreadable`, one sentence each), and the run's
// decision trail when the caller ran the enumeration itself.
struct ViewInputs {
  std::optional<std::string> pxisys, pxiesys, run_log;
  std::vector<std::string> unreadable;
  const ViewTrail* trail = nullptr;
};

SystemView ReadSystemView(const ViewInputs& inputs);

// An upper bound of the bytes the page spends on one chassis (its drawing
// and tables), for the kMaxViewPageBytes budget.
std::size_t ViewChassisPageBound(const ViewChassis& chassis);

}  // namespace ztrm

#endif  // ZTRM_TOOLS_VIEW_SYSTEM_VIEW_MODEL_H_
