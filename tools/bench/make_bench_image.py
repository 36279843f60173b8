#!/usr/bin/env python3
"""Builds the benchmark's large system image.

    tools/bench/make_bench_image.py OUT_DIR [SIMULATED_MODULE]

OUT_DIR receives registry.reg and drive_c/ (any earlier content is removed):
  - 16 PXI Express chassis of 18 slots (descriptions with two bus segments,
    trigger buses, a trigger bridge, a line mapping spec, star triggers, a
    star system timing set), each with its controller and 17 peripheral
    modules, reported by the simulated vendor module (its ztsimmod.ini is
    written; SIMULATED_MODULE, the native build ztsimmod.so, is copied beside
    it when given);
  - 8 PXI-1 chassis of 8 slots, listed in PXIChassisList.ini, each with 4 PCI
    bus segments whose buses sit behind bridge chains of depth 3, answered by
    the simulated resource driver's registry values;
  - every description file different (vendor, model, slot texts, IDSEL
    wiring, comments).
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
        # As the chassis registration and the controller's EEPROM name it.
        'Vendor = "Bench Vendor"',
        'Model = "BX-18%02d"' % k,
        'PCIBusSegmentList = "1,2"',
        'SlotList = "%s"' % ",".join(map(str, slots)),
        'TriggerBusList = "1,2,3"',
        'TriggerBridgeList = "1"',
        'LineMappingSpecList = "1"',
        'StarTriggerList = "1"',
        'StarSystemTimingSetList = "1"', "",
    ]
    for n, part in ((1, slots[0:9]), (2, slots[9:18])):
        lines += ["[PCIBusSegment%d]" % n, 'SlotList = "%s"' % ",".join(map(str, part)),
                  'BridgeList = ""', 'IDSELList = ""', ""]
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


def sim_module_config():
    """ztsimmod.ini: per PXI Express chassis k a controller whose first link
    spans buses 16k+1 to 16k+15, the chassis with root buses 16k+1 and 16k+9,
    and 17 peripheral modules in slots 2 to 18."""
    lines = ["; What the simulated vendor module reports on the benchmark image."]
    for k in range(16):
        base = 16 * k
        lines += ["", "[SystemModule]", "Vendor = Bench Vendor", "Model = BC-8000",
                  "UniqueName = BC8000-%04d" % k, "AddressInfo = PCI::%d::0::0" % base,
                  "EepromVendor = Bench Vendor",
                  "EepromModel = BX-18%02d" % k,
                  "EepromSerial = BX18%02d-%05d" % (k, 1000 + k),
                  "EepromByte.0x7C = %d" % (k % 2),
                  "EepromByte.0x7D = 4", "EepromByte.0x7E = 3", "EepromByte.0x7F = 2",
                  "EepromByte.0x80 = 1"]
        for j in range(17):
            at = 0x81 + 4 * j
            lines += ["EepromByte.0x%02X = %d" % (at, j + 2),
                      "EepromByte.0x%02X = 0x%02X" % (at + 1, 0x10 * (j % 3) + 1 + j % 4),
                      "EepromByte.0x%02X = %d" % (at + 2, (1, 3, 7)[j % 3]),
                      "EepromByte.0x%02X = 0x%02X" % (at + 3, 0x52 if j % 2 else 0x02)]
        lines += ["EepromChecksum = auto", "Info.0 = 8", "Info.1 = 8", "Info.2 = 4", "Info.3 = 4",
                  "Info.4 = 4", "Info.5 = 4", "Info.100 = %d" % (4 if k % 2 else 2),
                  "Info.101 = %d" % (base + 1), "Info.105 = %d" % (base + 15)]
    for k in range(16):
        base = 16 * k
        for j in range(17):
            lines += ["", "[PeripheralModule]", "Vendor = Bench Vendor", "Model = BP-4100",
                      "UniqueName = BP4100-%02d%02d" % (k, j),
                      "AddressInfo = PCI::%d::%d::0" % (base + 1 + j % 15, j),
                      "Info.0 = %d" % (4 << (j % 3)), "Info.100 = %d" % (base + 1 + j % 15),
                      "Info.101 = 4", "Info.102 = %d" % (j + 2)]
    for k in range(16):
        lines += ["", "[Chassis]", "Vendor = Bench Vendor", "Model = BX-18%02d" % k,
                  "RootBus.1 = %d" % (16 * k + 1), "RootBus.2 = %d" % (16 * k + 9)]
    return "\n".join(lines) + "\n"


def main():
    if len(sys.argv) not in (2, 3):
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
    sim_dir = os.path.join(drive_c, "ZELTRO", "SimModule")
    write(os.path.join(sim_dir, "ztsimmod.ini"), sim_module_config())
    if len(sys.argv) == 3:
        shutil.copy(sys.argv[2], os.path.join(sim_dir, "ztsimmod.so"))
    chassis_list = ["[Information]", "TotalChassis = 8", ""]
    driver = ['"Bus0"="0,0,0,255"']
    used = {0}
    # The PXI Express segments' buses hang off root ports of bus 0.
    for k in range(16):
        for n, bus in enumerate((16 * k + 1, 16 * k + 9)):
            driver.append('"Bus%d"="0,%d,%d,0"' % (bus, 1 + k % 8, n))
            used.add(bus)

    def free_run(length):
        start = 1
        while any(b in used for b in range(start, start + length)):
            start += 1
        used.update(range(start, start + length))
        return start

    for k in range(8):
        write(os.path.join(desc, "BC10%02d.ini" % k), pxi1_description(k))
        root = free_run(4)
        # IDs after the 16 the PXI Express chassis take.
        chassis_list += ["[Chassis%d]" % (k + 1), "ChassisID = %d" % (17 + k),
                         'Vendor = "Bench Classic %02d"' % k,
                         'Model = "BC-10%02d PXI Chassis"' % k,
                         "PCIRootBusNumber = %d" % root, ""]
        for seg in range(4):
            bus = root + seg
            # Depth 3: bus -> a -> b -> root bus 0.
            a, b = free_run(1), free_run(1)
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
    ]
    library = '"Library"="C:\\\\ZELTRO\\\\SimModule\\\\ztsimmod.dll"'
    registry += ["[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\System Modules\\Bench Vendor\\BC-8000]",
                 library, '"Version"=dword:00010000', "",
                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\Peripheral Modules\\Bench Vendor\\BP-4100]",
                 library, '"Version"=dword:00010000', ""]
    for k in range(16):
        registry += ["[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\Chassis\\Bench Vendor\\BX-18%02d]" % k,
                     library, '"Version"=dword:00010000', ""]
    registry += ["[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\ZTRMDRV\\Parameters]"] + driver
    write(os.path.join(out, "registry.reg"), "\n".join(registry) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
