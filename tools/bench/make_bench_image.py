#!/usr/bin/env python3
"""Builds the benchmark's large system image.

    tools/bench/make_bench_image.py OUT_DIR

OUT_DIR receives registry.reg and drive_c/ (any earlier content is removed):
  - 16 PXI Express chassis descriptions of 18 slots each (trigger buses, a
    trigger bridge, a line mapping spec, star triggers, a star system timing
    set), each with its controller and 17 peripheral modules named in the
    description's slots;
  - 8 PXI-1 chassis of 8 slots, listed in PXIChassisList.ini, each with 4 PCI
    bus segments whose buses sit behind bridge chains of depth 3, answered by
    the simulated resource driver's registry values;
  - every description file different (vendor, model, slot texts, IDSEL
    wiring, comments).
The PXI Express chassis enter a native run through description file
discovery; they are parsed and written once the vendor module libraries that
report them are simulated.
"""
import os
import shutil
import sys


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", newline="") as f:
        f.write(text.replace("\n", "\r\n"))


def pxie_description(k):
    slots = list(range(1, 19))
    lines = [
        "; PXI Express chassis description %d of the benchmark image" % k,
        "[Version]", 'Specification = "PXI-6"', "Major = 1", "Minor = %d" % (k % 3), "",
        "[Chassis]",
        'Vendor = "Bench Vendor %02d"' % k,
        'Model = "BX-18%02d Express Chassis"' % k,
        'SlotList = "%s"' % ",".join(map(str, slots)),
        'TriggerBusList = "1,2,3"',
        'TriggerBridgeList = "1"',
        'LineMappingSpecList = "1"',
        'StarTriggerList = "1"',
        'StarSystemTimingSetList = "1"', "",
    ]
    for b, part in enumerate((slots[0:6], slots[6:12], slots[12:18]), 1):
        lines += ["[TriggerBus%d]" % b, 'SlotList = "%s"' % ",".join(map(str, part)), ""]
    lines += ["[TriggerBridge1]", "SourceTriggerBus = 1", "DestinationTriggerBus = %d" % (2 + k % 2),
              "LineMappingSpec = 1", ""]
    lines += ["[LineMappingSpec1]"] + ["PXI_TRIG%d = %d" % (t, (t + k) % 8) for t in range(8)] + [""]
    lines += ["[StarTrigger1]", 'SystemTimingSlot = "2"', 'ControllerSlot = "1"']
    lines += ["PXI_STAR%d = %d" % (s, 3 + s) for s in range(16)] + [""]
    lines += ["[StarSystemTimingSets1]", "SystemTimingSlot = 2"]
    lines += ["StarSystemTimingSet%d = %d" % (s, 3 + (s + k) % 16) for s in range(16)] + [""]
    for s in slots:
        lines += ["[Slot%d]" % s, 'IDSEL = ""',
                  'LocalBusLeft = "%s"' % ("Slot%d" % (s - 1) if s > 2 else ""),
                  'LocalBusRight = "%s"' % ("Slot%d" % (s + 1) if 1 < s < 18 else ""),
                  'ExternalBackplaneInterface = "%s"' % ("x%d-%d" % (k, s) if s % 5 == 0 else ""), ""]
    return "\n".join(lines) + "\n"


def pxi1_description(k):
    segments = [(1, [2, 3]), (2, [4, 5]), (3, [6, 7]), (4, [8])]
    lines = [
        "; PXI-1 chassis description %d of the benchmark image" % k,
        "[Version]", 'Specification = "PXI-2"', "Major = 2", "Minor = %d" % (k % 3), "",
        "[Chassis]",
        'Vendor = "Bench Classic %02d"' % k,
        'Model = "BC-10%02d PXI Chassis"' % k,
        'PCIBusSegmentList = "1,2,3,4"',
        'SlotList = "1,2,3,4,5,6,7,8"',
        'TriggerBusList = "1,2"', 'TriggerBridgeList = "1"', 'LineMappingSpecList = "1"',
        'StarTriggerList = "1"', "",
    ]
    for n, seg_slots in segments:
        idsels = [31 - ((i + k) % 4) for i in range(len(seg_slots))]
        lines += ["[PCIBusSegment%d]" % n, 'SlotList = "%s"' % ",".join(map(str, seg_slots)),
                  'BridgeList = ""', 'IDSELList = "%s"' % ",".join(map(str, idsels))]
        lines += ['IDSEL%d = "Slot%d"' % (i, s) for i, s in zip(idsels, seg_slots)] + [""]
    lines += ["[TriggerBus1]", 'SlotList = "1,2,3,4"', "", "[TriggerBus2]", 'SlotList = "5,6,7,8"', ""]
    lines += ["[TriggerBridge1]", "SourceTriggerBus = 1", "DestinationTriggerBus = 2",
              "LineMappingSpec = 1", ""]
    lines += ["[LineMappingSpec1]"] + ["PXI_TRIG%d = %d" % (t, (t + k) % 8) for t in range(8)] + [""]
    lines += ["[StarTrigger1]", 'SystemTimingSlot = ""', "ControllerSlot = 2"]
    lines += ["PXI_STAR%d = %d" % (s, 3 + s) for s in range(6)] + [""]
    for s in range(1, 9):
        lines += ["[Slot%d]" % s, 'IDSEL = "AD%d"' % (31 - s % 4),
                  'LocalBusLeft = "%s"' % ("Slot%d" % (s - 1) if s > 2 else ""),
                  'LocalBusRight = "%s"' % ("Slot%d" % (s + 1) if 1 < s < 8 else ""),
                  'ExternalBackplaneInterface = "%s"' % ("c%d-%d" % (k, s) if s == 8 else ""), ""]
    return "\n".join(lines) + "\n"


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    out = sys.argv[1]
    shutil.rmtree(out, ignore_errors=True)
    drive_c = os.path.join(out, "drive_c")
    desc = os.path.join(drive_c, "ZELTRO", "PXI", "ChassisDescriptions")
    os.makedirs(os.path.join(drive_c, "windows"), exist_ok=True)
    os.makedirs(os.path.join(drive_c, "ZELTRO", "ORB"), exist_ok=True)
    write(os.path.join(drive_c, "ProgramData", "PXISA", "configuration.ini"),
          '[ResourceManager]\nName = "ZELTRO Technology"\n')

    for k in range(16):
        write(os.path.join(desc, "BX18%02d.ini" % k), pxie_description(k))
    chassis_list = ["[Information]", "TotalChassis = 8", ""]
    driver = ['"Bus0"="0,0,0,255"']
    next_free = 100  # buses for the bridge chains' inner links
    for k in range(8):
        write(os.path.join(desc, "BC10%02d.ini" % k), pxi1_description(k))
        root = 10 + 10 * k
        chassis_list += ["[Chassis%d]" % (k + 1), "ChassisID = %d" % (k + 1),
                         'Vendor = "Bench Classic %02d"' % k,
                         'Model = "BC-10%02d PXI Chassis"' % k,
                         "PCIRootBusNumber = %d" % root, ""]
        for seg in range(4):
            bus = root + seg
            # Depth 3: bus -> a -> b -> root bus 0.
            a, b = next_free, next_free + 1
            next_free += 2
            driver += ['"Bus%d"="%d,%d,%d,0"' % (bus, a, 8 + seg, k % 8),
                       '"Bus%d"="%d,%d,0,0"' % (a, b, 20 + k),
                       '"Bus%d"="0,%d,%d,0"' % (b, 1 + seg, k % 2)]
    write(os.path.join(drive_c, "ZELTRO", "PXI", "PXIChassisList.ini"), "\n".join(chassis_list))
    driver += ['"RootBusList"="0,0 1,0"', '"RootBusCount"=dword:00000002']

    registry = [
        "Windows Registry Editor Version 5.00", "",
        "[HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System\\BIOS]",
        '"SystemManufacturer"="ZELTRO Technology"', '"SystemProductName"="Bench Controller"', "",
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ZELTRO\\ORB]", '"Path"="C:\\\\ZELTRO\\\\ORB"', "",
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\CurrentVersion]",
        '"ChassisDescriptionFilePath"="C:\\\\ZELTRO\\\\PXI\\\\ChassisDescriptions"', "",
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\ZTRMDRV\\Parameters]",
    ] + driver
    write(os.path.join(out, "registry.reg"), "\n".join(registry) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
