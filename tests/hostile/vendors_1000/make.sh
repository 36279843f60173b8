#!/bin/bash
# Builds the case's image: see case.txt.
. "$(dirname "$0")/../lib.sh" "$1"
perl -e 'print "Windows Registry Editor Version 5.00\r\n\r\n"; for $i (1..1000) { print "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\System Modules\\Vendor$i\\Model]\r\n\"Library\"=\"C:\\\\Missing\\\\m$i.dll\"\r\n\"Version\"=dword:00010000\r\n" }' >"$IMAGE/registry.reg"
mkdir -p "$IMAGE/drive_c/ProgramData/PXISA" "$IMAGE/drive_c/windows"
printf '[ResourceManager]\r\nName = "ZELTRO Technology"\r\n' >"$IMAGE/drive_c/ProgramData/PXISA/configuration.ini"
