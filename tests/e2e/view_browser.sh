#!/bin/bash
# The picture of the demo system in a real browser: headless Chromium opens
# the page `ztrm-sim --html` writes for examples/demo, and
#  1. logs no console message at all (the page has no script, so any message
#     is an error: a bad SVG attribute, a parse error). The check is first
#     shown to work on a page with deliberate errors.
#  2. holds in its rendered DOM exactly the chassis, segment, slot, module,
#     star line, trigger bus and bridge elements of
#     tests/expected/view/demo_elements.txt (counted by hand from the demo's
#     expected pxisys.ini and pxiesys.ini);
#  3. renders to a PNG (WORK_DIR/demo-system.png, the README's picture).
#
#   tests/e2e/view_browser.sh ZTRM_SIM BUILD_DIR WORK_DIR
set -euo pipefail
sim=$1 build=$2 work=$3
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
# fail MESSAGE [FILE]: the message and the file's text, then exit 1.
fail() {
  echo "FAIL: $1" >&2
  [ -z "${2:-}" ] || cat "$2" >&2
  exit 1
}
browser=$(command -v chromium) || fail "chromium is not installed (apt-get install chromium)"
rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)

# Chromium as root needs --no-sandbox; its own profile folder keeps runs apart.
run_browser() {
  timeout 60 "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars \
    --user-data-dir="$work/profile" --enable-logging=stderr --v=0 "$@"
}

console_lines() { grep -a ':CONSOLE' "$1" || true; }

# 1a. The console check must see errors where there are some.
cat >"$work/broken.html" <<'HTML'
<!DOCTYPE html><html><body><svg width="10" height="10"><rect width="-5" height="3"/></svg>
<script>no_such_function();</script></body></html>
HTML
run_browser --dump-dom "file://$work/broken.html" >"$work/broken.dom" 2>"$work/broken.err"
[ "$(console_lines "$work/broken.err" | wc -l)" -ge 2 ] ||
  fail "the console check did not see the deliberate errors of broken.html" "$work/broken.err"

# The demo run and its page.
image=$work/demo
cp -r "$source_dir/examples/demo" "$image"
bash "$source_dir/simmodule/install_into_image.sh" "$image" "$build"
"$sim" --time=2026-12-06T05:30:00.123 --html "$image" >"$work/sim.out"
page=$image/drive_c/windows/pxisys.html
grep -q "^wrote $page (the picture of the system)\$" "$work/sim.out" ||
  fail "ztrm-sim did not say it wrote $page" "$work/sim.out"

# 1b and 2.
run_browser --dump-dom "file://$page" >"$work/page.dom" 2>"$work/page.err"
console_lines "$work/page.err" >"$work/page.console"
[ ! -s "$work/page.console" ] || fail "console messages on the demo page:" "$work/page.console"
grep -oE '<(svg|rect|path) class="(chassis|segment|slot|module|star-line|trigger-bus|trigger-bridge)[^"]*"( data-[a-z]+="[^"]*")*' \
  "$work/page.dom" | sed 's/^<//' >"$work/elements.txt"
diff -u "$source_dir/tests/expected/view/demo_elements.txt" "$work/elements.txt" ||
  fail "the rendered page does not hold the demo's elements"

# 3.
run_browser --screenshot="$work/demo-system.png" --window-size=1000,2300 "file://$page" \
  >/dev/null 2>"$work/shot.err"
[ "$(head -c 8 "$work/demo-system.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "no PNG written"
echo "ok: no console message, $(wc -l <"$work/elements.txt") elements as expected, $work/demo-system.png"
