# Wine end-to-end harness, sourced by the test scripts in this folder.
#
# One warm Wine prefix per test script; every case starts from the same known
# state: the Wine session ended, the prefix's registry files put back as they
# were right after the prefix was made (so no service entry and no key of an
# earlier case is left), every file an earlier case added to drive_c removed,
# then the case's system image loaded (registry.reg imported with
# `wine regedit /S`, drive_c/ copied in) and ZTRMService.exe copied to
# C:\ztrm_bin. A Wine session's services end when its last ordinary process
# exits, so each case keeps ztrm_wine_idle.exe running until the case ends and
# then waits for the session with `wineserver -w` before reading any file.
#
#   wh_args N[+] "NAMES" "$@"               usage line and exit 2 unless there are
#                                           N (at least N with +) arguments
#   wh_require FILE|TOOL...                 setup failure unless each is there
#   wh_init NAME MINGW_BUILD_DIR WORK_DIR   new prefix WORK_DIR/NAME
#   wh_case_begin CASE IMAGE_DIR            known state, image loaded, session up
#                                           (and the simulated resource driver
#                                           started when the image configures it)
#   wh_run OUT_FILE [ARG...]                ZTRMService.exe ARG...: stdout to OUT_FILE,
#                                           exit code in $WH_STATUS
#   wh_case_end                             session ended; prefix files readable
#   wh_check_console CASE OUT EXPECTED [MIN_DOTS MAX_DOTS]
#   wh_compare / wh_compare_masked / wh_check_bytes / wh_check_status / wh_check_ztlog
#   wh_wait_until SECONDS COMMAND...        polls twice a second, within the bound
#   wh_pass / wh_fail MESSAGE               bookkeeping for the summary
#   wh_finish                               summary, timings, exit code
#
# Every wait is bounded (timeout), and the exit trap ends the idle process and
# the Wine server whatever happens. The prefix (about 700 MB) is deleted at the
# end unless KEEP_WINEPREFIX=1.

WH_COMMAND_TIMEOUT=${WH_COMMAND_TIMEOUT:-120}
WH_FAILURES=0
WH_PASSES=0
WH_IDLE_PID=""
WH_CASE=""

wh_args() {
  local want=$1 names=$2
  shift 2
  if [ $# -lt "${want%+}" ] || { [ "$want" = "${want%+}" ] && [ $# -ne "$want" ]; }; then
    echo "usage: $0 $names" >&2
    exit 2
  fi
}
# Exits with a setup failure unless every FILE (a name with a "/") exists and
# every TOOL is installed.
wh_require() {
  local need
  for need in "$@"; do
    if [[ $need == */* ]]; then
      [ -e "$need" ] || { echo "FAIL setup: $need is missing (build it first)"; exit 1; }
    elif ! command -v "$need" >/dev/null; then
      echo "FAIL setup: $need is not installed"
      exit 1
    fi
  done
}
wh_ms() { echo $(($(date +%s%N) / 1000000)); }
wh_seconds() { printf '%d.%01d s' $(($1 / 1000)) $(($1 % 1000 / 100)); }

wh_pass() {
  WH_PASSES=$((WH_PASSES + 1))
  echo "PASS $WH_CASE: $*"
}

wh_fail() {
  WH_FAILURES=$((WH_FAILURES + 1))
  echo "FAIL $WH_CASE: $*"
}

wh_kill_server() {
  wineserver -k 2>/dev/null
  timeout 30 wineserver -w 2>/dev/null
}

# Ends the case's session: the idle process by its id, then the Wine server
# (waited for, killed when it does not go within 60 s).
wh_session_end() {
  if [ -n "$WH_IDLE_PID" ]; then
    kill "$WH_IDLE_PID" 2>/dev/null && wait "$WH_IDLE_PID" 2>/dev/null
    WH_IDLE_PID=""
  fi
  if ! timeout 60 wineserver -w 2>/dev/null; then
    echo "note: the Wine session did not end within 60 s; killing it"
    wh_kill_server
  fi
}

wh_cleanup() {
  local status=$?
  if [ -n "$WH_IDLE_PID" ]; then kill "$WH_IDLE_PID" 2>/dev/null; fi
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wh_kill_server
    if [ "${KEEP_WINEPREFIX:-0}" = 1 ]; then
      echo "Wine prefix kept: $WINEPREFIX"
    else
      rm -rf "$WINEPREFIX" "$WH_STATE"
    fi
  fi
  exit "$status"
}

wh_init() {
  local name=$1 build=$2 work=$3
  WH_START_MS=$(wh_ms)
  WH_BUILD=$(cd "$build" 2>/dev/null && pwd) || WH_BUILD=$build
  wh_require "$WH_BUILD/ZTRMService.exe" "$WH_BUILD/ztrm_wine_idle.exe" wine wineserver timeout perl cmp od
  mkdir -p "$work"
  work=$(cd "$work" && pwd)
  export WINEPREFIX="$work/$name"
  export WINEDEBUG=-all
  # Wine takes its ANSI code page from the locale: C.UTF-8 (and a plain C or
  # an unset one) gives 1252, the code page of the replayed machines, in which
  # regedit reads an 8-bit registry.reg and the native backend reads and logs.
  # A caller's LC_ALL of another language would change it (ru_RU.UTF-8: 1251).
  export LC_ALL=C.UTF-8
  # No Mono or Gecko: nothing here needs them, and their install prompts
  # would stall an unattended run.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  WH_STATE="$work/$name.state"
  trap wh_cleanup EXIT
  trap 'exit 130' INT TERM
  rm -rf "$WINEPREFIX" "$WH_STATE"
  mkdir -p "$WINEPREFIX" "$WH_STATE"

  local boot_start attempt
  boot_start=$(wh_ms)
  # A second try after a pause: once in a long suite, wineboot has refused
  # at once (within 40 ms) right after another script's prefix was removed,
  # and succeeded when run again.
  for attempt in 1 2; do
    if timeout 180 wine wineboot -i >"$WH_STATE/wineboot.out" 2>&1 &&
       timeout 120 wineserver -w; then
      break
    fi
    echo "note: wineboot attempt $attempt failed:"
    tail -n 5 "$WH_STATE/wineboot.out" | sed 's/^/  /'
    if [ "$attempt" = 2 ]; then
      echo "FAIL setup: the Wine prefix could not be made in $WINEPREFIX"
      exit 1
    fi
    wh_kill_server
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    sleep 3
  done
  # The service control manager gives a starting service 10 s to connect and
  # report (Windows gives 30 s). A first start in a fresh prefix on a loaded
  # machine has taken longer, so the prefix gets the Windows bound. Wine reads
  # the value as a string, once, when services.exe starts; every case starts
  # a new session, so every case sees it.
  if ! timeout 60 wine reg add 'HKLM\System\CurrentControlSet\Control' /v ServicesPipeTimeout \
       /t REG_SZ /d 30000 /f >/dev/null 2>&1 || ! timeout 120 wineserver -w; then
    echo "FAIL setup: the service start bound could not be set in $WINEPREFIX"
    exit 1
  fi
  WH_BOOT_MS=$(($(wh_ms) - boot_start))
  # The known state every case returns to.
  cp "$WINEPREFIX"/*.reg "$WH_STATE/"
  (cd "$WINEPREFIX/drive_c" && find . -mindepth 1 -print0) > "$WH_STATE/drive_c.list"
  echo "== Wine prefix $WINEPREFIX made in $(wh_seconds "$WH_BOOT_MS")"
}

# Removes what earlier cases added to drive_c, deepest first.
wh_restore_drive_c() {
  local drive_c="$WINEPREFIX/drive_c"
  (cd "$drive_c" && find . -mindepth 1 -print0) |
    perl -0 -ne '
      BEGIN {
        open(my $f, "<", $ARGV[0]) or die; local $/ = "\0";
        while (my $p = <$f>) { chomp $p; $keep{$p} = 1 }
        @ARGV = ();
      }
      chomp; print "$_\0" unless $keep{$_};' "$WH_STATE/drive_c.list" |
    sort -z -r |
    while IFS= read -r -d '' path; do
      rm -rf "${drive_c:?}/$path"
    done
}

wh_case_begin() {
  WH_CASE=$1
  local image=$2
  WH_CASE_START_MS=$(wh_ms)
  wh_session_end
  cp "$WH_STATE"/*.reg "$WINEPREFIX/"
  wh_restore_drive_c
  if [ ! -f "$image/registry.reg" ] || [ ! -d "$image/drive_c" ]; then
    wh_fail "no system image at $image (registry.reg and drive_c/)"
    return 1
  fi
  cp -r "$image/drive_c/." "$WINEPREFIX/drive_c/"
  mkdir -p "$WINEPREFIX/drive_c/ztrm_bin"
  cp "$WH_BUILD/ZTRMService.exe" "$WH_BUILD/ztrm_wine_idle.exe" "$WINEPREFIX/drive_c/ztrm_bin/"
  cp "$image/registry.reg" "$WINEPREFIX/drive_c/ztrm_image.reg"

  # A stalled session start (seen once in many hundred) gets one more try.
  if ! wh_session_start wh_note_retry && ! { wh_session_end; wh_session_start wh_fail; }; then
    return 1
  fi
  rm -f "$WINEPREFIX/drive_c/ztrm_image.reg"
  wh_start_driver "$image"
}

# Starts the case's session: the idle process first, waited for until it has
# made its ready file (so no two Wine commands race to start the Wine
# server), then the image's registry imported. REPORT is the command that
# reports a failure (wh_fail, or wh_note_retry on a first try).
wh_session_start() {
  local report=$1 ready="$WINEPREFIX/drive_c/ztrm_idle_ready"
  rm -f "$ready"
  wine 'C:\ztrm_bin\ztrm_wine_idle.exe' 'C:\ztrm_idle_ready' </dev/null >/dev/null 2>&1 &
  WH_IDLE_PID=$!
  wh_wait_until 60 eval '[ -e "$ready" ] || ! kill -0 "$WH_IDLE_PID" 2>/dev/null'
  if [ ! -e "$ready" ]; then
    "$report" "the idle process did not start"
    return 1
  fi
  rm -f "$ready"
  if ! timeout 60 wine regedit /S 'C:\ztrm_image.reg' </dev/null >/dev/null 2>&1; then
    "$report" "the image's registry.reg could not be imported"
    return 1
  fi
}

wh_note_retry() { echo "note: $WH_CASE: $* (trying once more)"; }

# True when the image's registry.reg (UTF-16LE or 8-bit) names the simulated
# resource driver's service key.
wh_image_has_driver() {
  perl -0777 -ne '
    $_ = $_ =~ /^\xFF\xFE/ ? do { require Encode; Encode::decode("UTF-16LE", $_) } : $_;
    exit(/\\Services\\ZTRMDRV[\\\]]/i ? 0 : 1)' "$1/registry.reg"
}

# Installs ztrmdrv.sys of the build as the kernel driver service ZTRMDRV
# (absolute image path: Wine 8 refuses a relative one) and starts it, when
# the image configures the driver. The idle process keeps it loaded.
wh_start_driver() {
  local image=$1
  wh_image_has_driver "$image" || return 0
  if [ ! -f "$WH_BUILD/ztrmdrv.sys" ]; then
    wh_fail "the image configures the resource driver but $WH_BUILD/ztrmdrv.sys is missing"
    return 1
  fi
  mkdir -p "$WINEPREFIX/drive_c/windows/system32/drivers"
  cp "$WH_BUILD/ztrmdrv.sys" "$WINEPREFIX/drive_c/windows/system32/drivers/ztrmdrv.sys"
  if ! wh_sc create ZTRMDRV type= kernel start= demand binPath= 'C:\windows\system32\drivers\ztrmdrv.sys'; then
    wh_fail "the simulated resource driver could not be installed: $(wh_sc_answer)"
    return 1
  fi
  # A start that fails under load (seen once) gets one more try, unless the
  # driver came up after all.
  if ! wh_sc start ZTRMDRV; then
    wh_note_retry "the simulated resource driver did not start: $(wh_sc_answer)"
    sleep 1
    if [ "$(wh_service_state ZTRMDRV)" != RUNNING ] && ! wh_sc start ZTRMDRV; then
      wh_fail "the simulated resource driver did not start: $(wh_sc_answer)"
      return 1
    fi
  fi
}
# sc ARG..., its answer kept for wh_sc_answer: the last lines, on one line.
wh_sc() { timeout 60 wine sc "$@" </dev/null >"$WH_STATE/sc.out" 2>&1; }
wh_sc_answer() { tr -d '\r' <"$WH_STATE/sc.out" | grep -v ':fixme:' | tail -n 2 | tr '\n' ' '; }

wh_run() {
  local out=$1
  shift
  WH_STATUS=0
  timeout "$WH_COMMAND_TIMEOUT" wine 'C:\ztrm_bin\ZTRMService.exe' "$@" </dev/null >"$out" 2>/dev/null ||
    WH_STATUS=$?
  if [ "$WH_STATUS" = 124 ]; then
    wh_fail "ZTRMService.exe $* did not end within $WH_COMMAND_TIMEOUT s"
  fi
  return 0
}

wh_case_end() {
  wh_session_end
  echo "   ($WH_CASE took $(wh_seconds $(($(wh_ms) - WH_CASE_START_MS))))"
}

# The expected console bytes: the file's LF line ends as Wine's text-mode
# console writes them, CR LF.
wh_expected_crlf() { perl -pe 's/\n/\r\n/' "$1"; }

# The parts of a console output that depend on timing: the number of
# "Logging..." lines (one per second a run holds the files) and the dots
# after "Stopping ZTLRMService." (one per further second of stopping).
wh_normalize_console() {
  perl -0777 -pe 's/(Logging\.\.\.\r\n)+/Logging...\r\n/g; s/(Stopping ZTLRMService\.)\.*/$1/g'
}

# Checks the console output OUT against the expected file (LF line ends),
# byte for byte apart from the timing-dependent parts above; the dots after
# "Stopping ZTLRMService." must number MIN_DOTS to MAX_DOTS (default 0 to 0).
wh_check_console() {
  local label=$1 out=$2 expected=$3 min_dots=${4:-0} max_dots=${5:-0}
  local want="$WH_STATE/want.$$" got="$WH_STATE/got.$$" dots
  wh_expected_crlf "$expected" | wh_normalize_console >"$want"
  wh_normalize_console <"$out" >"$got"
  if ! cmp -s "$want" "$got"; then
    wh_fail "$label: console output differs from $(basename "$expected")"
    echo "   expected:"; od -An -c "$want" | sed 's/^/     /'
    echo "   actual:"; od -An -c "$out" | sed 's/^/     /'
    rm -f "$want" "$got"
    return 1
  fi
  rm -f "$want" "$got"
  for dots in $(perl -0777 -ne 'print length($1), "\n" while /Stopping ZTLRMService\.(\.*)\r\n/g' "$out"); do
    if [ "$dots" -lt "$min_dots" ] || [ "$dots" -gt "$max_dots" ]; then
      wh_fail "$label: $dots dots after \"Stopping ZTLRMService.\", expected $min_dots to $max_dots"
      return 1
    fi
  done
  wh_pass "$label: console output as $(basename "$expected")$(
    perl -0777 -ne '$n = () = /Logging\.\.\.\r\n/g; print " ($n Logging lines)" if $n > 1' "$out")$(
    perl -0777 -ne 'print " (", length($1), " dots)" if /Stopping ZTLRMService\.(\.*)\r\n/' "$out")"
}

# A system file with its "Timestamp = ..." line masked (the clocks differ).
wh_mask_system_file() { perl -pe 's/^Timestamp = .*$/Timestamp = [TIME STAMP]\r/' "$1"; }

# Compares two files byte for byte (either may be a process substitution);
# SIDES names the two in the report of a difference ("native < > Wine").
wh_compare() {
  local label=$1 first="$WH_STATE/first" second="$WH_STATE/second" sides=$4
  if ! cat "$2" >"$first" 2>/dev/null || ! cat "$3" >"$second" 2>/dev/null; then
    wh_fail "$label: a file is missing ($sides)"
  elif cmp -s "$first" "$second"; then
    wh_pass "$label identical ($(wc -c <"$second") bytes compared)"
  else
    wh_fail "$label differs ($sides):"
    diff <(od -An -c "$first") <(od -An -c "$second") | head -30 | sed 's/^/     /'
  fi
}

# wh_compare of two system files with their time stamps masked.
wh_compare_masked() {
  if [ -f "$2" ] && [ -f "$3" ]; then
    wh_compare "$1 (time stamp masked)" <(wh_mask_system_file "$2") <(wh_mask_system_file "$3") "$4"
  else
    wh_fail "$1: a file is missing ($4)"
  fi
}

# The run log with its time stamp line masked.
wh_mask_log() {
  perl -0777 -pe 's/^\[\d{4}-\d\d-\d\d_\d\d:\d\d:\d\d\.\d{3}\]  \r\n/[TIME STAMP]\r\n/m or die "no time stamp line\n"' "$1"
}

# A service's log LOG without its last line, which must be its one
# "SERVICE STOPED" line (a native run has no service to stop), to OUT.
wh_strip_stop_line() {
  if perl -0777 -ne '$n = () = /SERVICE STOPED/g; exit !($n == 1 && /\r\nSERVICE STOPED\r\r\n\z/)' "$1" 2>/dev/null; then
    head -c -17 "$1" >"$2"
    wh_pass "the service's log ends in the one stop line"
  else
    wh_fail "the service's log does not end in exactly one \"SERVICE STOPED\" line"
    cp "$1" "$2" 2>/dev/null || : >"$2"
  fi
}

# Polls (twice a second, up to SECONDS) until COMMAND succeeds.
wh_wait_until() {
  local seconds=$1 i
  shift
  for ((i = 0; i < seconds * 2; i++)); do
    "$@" && return 0
    sleep 0.5
  done
  return 1
}

# The state sc reports for the service NAME (this system's service when
# none is named): RUNNING, STOPPED, ... (empty when the query fails).
wh_service_state() {
  timeout 60 wine sc query "${1:-ZTLRMService}" </dev/null 2>/dev/null | perl -ne 'print $1 if /STATE\s*:\s*\d+\s+(\w+)/'
}
wh_service_is() { [ "$(wh_service_state)" = "$1" ]; }

# Names the resource manager in the prefix's PXISA configuration file.
wh_configure_manager() {
  printf '[ResourceManager]\r\nName = "%s"\r\n' "$1" \
    >"$WINEPREFIX/drive_c/ProgramData/PXISA/configuration.ini"
}

wh_check_status() {
  if [ "$WH_STATUS" = 0 ]; then return 0; fi
  wh_fail "$1: exit code $WH_STATUS, expected 0"
  return 1
}

# c:\ZTLOG, which every start of ZTRMService.exe makes.
wh_check_ztlog() {
  if [ -d "$WINEPREFIX/drive_c/ZTLOG" ] || [ -d "$WINEPREFIX/drive_c/ztlog" ]; then
    wh_pass "$1: c:\\ZTLOG made"
  else
    wh_fail "$1: c:\\ZTLOG was not made"
  fi
}

# Checks that FILE holds exactly the bytes given (printf-style escapes).
wh_check_bytes() {
  local label=$1 file=$2 bytes=$3
  if [ ! -f "$file" ]; then
    wh_fail "$label: $file does not exist"
    return 1
  fi
  if cmp -s <(printf "$bytes") "$file"; then
    wh_pass "$label"
  else
    wh_fail "$label: $(basename "$file") holds:"
    od -An -c "$file" | head -20 | sed 's/^/     /'
    return 1
  fi
}

wh_finish() {
  local total_ms=$(($(wh_ms) - WH_START_MS))
  echo "== $WH_PASSES passed, $WH_FAILURES failed in $(wh_seconds "$total_ms")" \
    "(prefix $(wh_seconds "$WH_BOOT_MS"))"
  if [ "$WH_FAILURES" -ne 0 ]; then exit 1; fi
  exit 0
}
