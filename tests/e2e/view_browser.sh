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
browser=$(command -v chromium || true)
if [ -z "$browser" ]; then
  echo "chromium is not installed (apt-get install chromium)" >&2
  exit 1
fi
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
if [ "$(console_lines "$work/broken.err" | wc -l)" -lt 2 ]; then
  echo "FAIL: the console check did not see the deliberate errors of broken.html" >&2
  cat "$work/broken.err" >&2
  exit 1
fi

# The demo run and its page.
image=$work/demo
cp -r "$source_dir/examples/demo" "$image"
bash "$source_dir/simmodule/install_into_image.sh" "$image" "$build"
"$sim" --time=2026-12-06T05:30:00.123 --html "$image" >"$work/sim.out"
page=$image/drive_c/windows/pxisys.html
grep -q "^wrote $page (the picture of the system)\$" "$work/sim.out" || {
  echo "FAIL: ztrm-sim did not say it wrote $page" >&2
  cat "$work/sim.out" >&2
  exit 1
}

# 1b and 2.
run_browser --dump-dom "file://$page" >"$work/page.dom" 2>"$work/page.err"
if [ -n "$(console_lines "$work/page.err")" ]; then
  echo "FAIL: console messages on the demo page:" >&2
  console_lines "$work/page.err" >&2
  exit 1
fi
grep -oE '<(svg|rect|path) class="(chassis|segment|slot|module|star-line|trigger-bus|trigger-bridge)[^"]*"( data-[a-z]+="[^"]*")*' \
  "$work/page.dom" | sed 's/^<//' >"$work/elements.txt"
if ! diff -u "$source_dir/tests/expected/view/demo_elements.txt" "$work/elements.txt"; then
  echo "FAIL: the rendered page does not hold the demo's elements" >&2
  exit 1
fi

# 3.
run_browser --screenshot="$work/demo-system.png" --window-size=1000,2300 "file://$page" \
  >/dev/null 2>"$work/shot.err"
if [ "$(head -c 8 "$work/demo-system.png" | od -An -tx1 | tr -d ' \n')" != 89504e470d0a1a0a ]; then
  echo "FAIL: no PNG written" >&2
  exit 1
fi
echo "ok: no console message, $(wc -l <"$work/elements.txt") elements as expected, $work/demo-system.png"
