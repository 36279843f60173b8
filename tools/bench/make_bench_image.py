#!/usr/bin/env python3
"""Builds the benchmark's large system image.

    tools/bench/make_bench_image.py OUT_DIR [SIMULATED_MODULE]
        [--pxie N] [--pxi1 N] [--check ZTRM_SIM]

OUT_DIR receives registry.reg and drive_c/ (any earlier content is removed):
  - N PXI Express chassis (--pxie, default 16) of 18 slots (descriptions with
    two bus segments, trigger buses, a trigger bridge, a line mapping spec,
    star triggers, a star system timing set), each with its controller and
    17 peripheral modules, reported by the simulated vendor module (its
    ztsimmod.ini is written; SIMULATED_MODULE, the native build ztsimmod.so,
    is copied beside it when given);
  - N PXI-1 chassis (--pxi1, default 8) of 8 slots, listed in
    PXIChassisList.ini, each with 4 PCI bus segments whose buses sit behind
    bridge chains of depth 3, answered by the simulated resource driver's
    registry values;
  - every description file different (vendor, model, slot texts, IDSEL
    wiring, comments).

Bus numbers are packed so that every one stays within 1..255: PXI Express
chassis k owns buses 2k+1 and 2k+2 (its two segments' root buses; the
controller's links span exactly these two, its peripheral modules sit on
them), and the PXI-1 chassis follow, 4 consecutive segment buses each, every
5 of them sharing the two upper buses of their bridge chains. That is
2 * PXIE + 4 * PXI1 + 2 * ceil(PXI1 / 5) buses, so at most 127 PXI Express
chassis alone, 61 beside 30 PXI-1 chassis (today's mix of two to one), or 57
PXI-1 chassis alone. A size that does not fit is refused.

--check runs ZTRM_SIM (build/native/ztrm-sim) on the image and compares its
pxisys.ini and pxiesys.ini with what the image holds: every chassis with its
vendor and model, every module's instance name, and a slot path for every
PXI-1 slot behind a bridge chain. It prints what differs and exits with 1.
"""
import argparse
import os
import re
import shutil
import subprocess
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


# PXI-1 chassis sharing one pair of upper bridge buses; their 4 segment
# bridges each sit on the shared bus as devices 8 to 27.
PXI1_PER_CHAIN = 5


def bus_count(pxie, pxi1):
    return 2 * pxie + 4 * pxi1 + 2 * ((pxi1 + PXI1_PER_CHAIN - 1) // PXI1_PER_CHAIN)


def pxie_base(k):
    """The first of PXI Express chassis k's two buses."""
    return 2 * k + 1


def controller_name(k):
    return "BC8000-%04d" % k


def peripheral_name(k, j):
    return "BP4100-%03d%02d" % (k, j)


def sim_module_config(pxie):
    """ztsimmod.ini: per PXI Express chassis k a controller whose links span
    buses b = 2k+1 and b+1, the chassis with root buses b and b+1, and 17
    peripheral modules in slots 2 to 18 (slots up to 9 on bus b, the rest on
    b+1, as the description's two segments divide them)."""
    lines = ["; What the simulated vendor module reports on the benchmark image."]
    for k in range(pxie):
        base = pxie_base(k)
        lines += ["", "[SystemModule]", "Vendor = Bench Vendor", "Model = BC-8000",
                  "UniqueName = %s" % controller_name(k), "AddressInfo = PCI::%d::0::0" % base,
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
        links = 4 if k % 2 else 2
        lines += ["EepromChecksum = auto", "Info.0 = 8", "Info.1 = 8", "Info.2 = 4", "Info.3 = 4",
                  "Info.4 = 4", "Info.5 = 4", "Info.100 = %d" % links]
        # Link n spans bus b + (n - 1) % 2 alone: every link inside the two
        # buses, so no controller's range reaches into another's.
        for n in range(links):
            lines += ["Info.%d = %d" % (101 + n, base + n % 2), "Info.%d = %d" % (105 + n, base + n % 2)]
    for k in range(pxie):
        base = pxie_base(k)
        for j in range(17):
            bus = base if j + 2 <= 9 else base + 1
            lines += ["", "[PeripheralModule]", "Vendor = Bench Vendor", "Model = BP-4100",
                      "UniqueName = %s" % peripheral_name(k, j),
                      "AddressInfo = PCI::%d::%d::0" % (bus, j),
                      "Info.0 = %d" % (4 << (j % 3)), "Info.100 = %d" % bus,
                      "Info.101 = 4", "Info.102 = %d" % (j + 2)]
    for k in range(pxie):
        lines += ["", "[Chassis]", "Vendor = Bench Vendor", "Model = BX-18%02d" % k,
                  "RootBus.1 = %d" % pxie_base(k), "RootBus.2 = %d" % (pxie_base(k) + 1)]
    return "\n".join(lines) + "\n"


def make_image(out, pxie, pxi1, module):
    shutil.rmtree(out, ignore_errors=True)
    drive_c = os.path.join(out, "drive_c")
    desc = os.path.join(drive_c, "ZELTRO", "PXI", "ChassisDescriptions")
    os.makedirs(os.path.join(drive_c, "windows"), exist_ok=True)
    os.makedirs(os.path.join(drive_c, "ZELTRO", "ORB"), exist_ok=True)
    write(os.path.join(drive_c, "ProgramData", "PXISA", "configuration.ini"),
          '[ResourceManager]\nName = "ZELTRO Technology"\n')

    for k in range(pxie):
        write(os.path.join(desc, "BX18%02d.ini" % k), pxie_description(k))
    sim_dir = os.path.join(drive_c, "ZELTRO", "SimModule")
    write(os.path.join(sim_dir, "ztsimmod.ini"), sim_module_config(pxie))
    if module:
        shutil.copy(module, os.path.join(sim_dir, "ztsimmod.so"))
    chassis_list = ["[Information]", "TotalChassis = %d" % pxi1, ""]
    driver = ['"Bus0"="0,0,0,255"']
    # The PXI Express segments' buses hang off root ports of bus 0.
    for k in range(pxie):
        for n in range(2):
            driver.append('"Bus%d"="0,%d,%d,0"' % (pxie_base(k) + n, 1 + k % 8, n))

    next_bus = pxie_base(pxie)
    upper = None
    for k in range(pxi1):
        write(os.path.join(desc, "BC10%02d.ini" % k), pxi1_description(k))
        place = k % PXI1_PER_CHAIN
        if place == 0:
            # The chain's upper buses: a behind b, b behind root bus 0.
            a, b = next_bus, next_bus + 1
            next_bus += 2
            chain = k // PXI1_PER_CHAIN
            driver += ['"Bus%d"="%d,%d,0,0"' % (a, b, 20 + chain % 8),
                       '"Bus%d"="0,%d,%d,0"' % (b, 1 + chain % 4, chain % 2)]
            upper = a
        root = next_bus
        next_bus += 4
        # IDs after those the PXI Express chassis take.
        chassis_list += ["[Chassis%d]" % (k + 1), "ChassisID = %d" % (pxie + 1 + k),
                         'Vendor = "Bench Classic %02d"' % k,
                         'Model = "BC-10%02d PXI Chassis"' % k,
                         "PCIRootBusNumber = %d" % root, ""]
        for seg in range(4):
            driver.append('"Bus%d"="%d,%d,%d,0"' % (root + seg, upper, 8 + 4 * place + seg, k % 8))
    assert next_bus - 1 == bus_count(pxie, pxi1) <= 255
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
    for k in range(pxie):
        registry += ["[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\Chassis\\Bench Vendor\\BX-18%02d]" % k,
                     library, '"Version"=dword:00010000', ""]
    registry += ["[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\ZTRMDRV\\Parameters]"] + driver
    write(os.path.join(out, "registry.reg"), "\n".join(registry) + "\n")


def sections(path):
    """The file's sections in order, each a dict of its keys (quotes kept)."""
    result = []
    with open(path, encoding="latin-1") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if line.startswith("[") and line.endswith("]"):
                result.append((line[1:-1], {}))
            elif " = " in line and result:
                key, value = line.split(" = ", 1)
                result[-1][1][key] = value
    return result


def check_image(out, pxie, pxi1, ztrm_sim):
    """Runs ztrm-sim on the image; the differences from the expected chassis
    and modules, one line each."""
    run = subprocess.run([ztrm_sim, out], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    if run.returncode != 0:
        return ["ztrm-sim exited with %d: %s" % (run.returncode, run.stderr.strip())]
    windows = os.path.join(out, "drive_c", "windows")
    problems = []
    pxie_chassis = {'"Bench Vendor" "BX-18%02d"' % k for k in range(pxie)}
    pxi1_chassis = {'"Bench Classic %02d" "BC-10%02d PXI Chassis"' % (k, k) for k in range(pxi1)}
    modules = {controller_name(k) for k in range(pxie)}
    modules |= {peripheral_name(k, j) for k in range(pxie) for j in range(17)}

    def compare(what, expected, found):
        if len(found) != len(set(found)):
            problems.append("%s: %d written, %d different" % (what, len(found), len(set(found))))
        missing, extra = expected - set(found), set(found) - expected
        for name, items in (("missing", missing), ("unexpected", extra)):
            if items:
                problems.append("%s %s: %d (%s ...)" % (what, name, len(items), sorted(items)[0]))
        print("%s: %d of %d" % (what, len(expected & set(found)), len(expected)))

    chassis = re.compile(r"Chassis\d+$")
    pxiesys = sections(os.path.join(windows, "pxiesys.ini"))
    compare("pxiesys.ini chassis",
            pxie_chassis, ["%s %s" % (k["Vendor"], k["Model"]) for n, k in pxiesys if chassis.match(n)])
    compare("pxiesys.ini modules", modules,
            [k["InstanceName"].strip('"') for n, k in pxiesys if k.get("InstanceName", '""') != '""'])
    pxisys = sections(os.path.join(windows, "pxisys.ini"))
    compare("pxisys.ini chassis", pxie_chassis | pxi1_chassis,
            ["%s %s" % (k["Vendor"], k["Model"]) for n, k in pxisys if chassis.match(n)])
    # Slots 2 to 8 of each PXI-1 chassis sit on its segments, behind the chains.
    paths = [n for n, k in pxisys if k.get("PCISlotPath", '"None"') != '"None"']
    if len(paths) != 7 * pxi1:
        problems.append("pxisys.ini slot paths: %d, expected %d" % (len(paths), 7 * pxi1))
    print("pxisys.ini slot paths: %d of %d" % (len(paths), 7 * pxi1))
    return problems


def main():
    parser = argparse.ArgumentParser(description="Builds the benchmark's large system image.")
    parser.add_argument("out")
    parser.add_argument("module", nargs="?")
    parser.add_argument("--pxie", type=int, default=16, help="PXI Express chassis (default 16)")
    parser.add_argument("--pxi1", type=int, default=8, help="PXI-1 chassis (default 8)")
    parser.add_argument("--check", metavar="ZTRM_SIM", help="run ztrm-sim on the image and compare")
    args = parser.parse_args()
    if args.pxie < 0 or args.pxi1 < 0 or bus_count(args.pxie, args.pxi1) > 255:
        print("make_bench_image: %d PXI Express and %d PXI-1 chassis need %d buses, 255 at most"
              % (args.pxie, args.pxi1, bus_count(args.pxie, args.pxi1)), file=sys.stderr)
        return 2
    make_image(args.out, args.pxie, args.pxi1, args.module)
    if args.check:
        problems = check_image(args.out, args.pxie, args.pxi1, args.check)
        for line in problems:
            print("check: " + line, file=sys.stderr)
        return 1 if problems else 0
    return 0


if __name__ == "__main__":
    sys.exit(main())
