# Helpers for the make.sh of the hostile-system cases: each make.sh sources
# this file and gets IMAGE (the copy to build up), SOURCE (the source tree)
# and DEMO (examples/demo), so most cases are the demo system with one
# hostile change.
set -euo pipefail
IMAGE=$1
SOURCE=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
DEMO="$SOURCE/examples/demo"
DESC="$IMAGE/drive_c/ZELTRO/PXI/ChassisDescriptions"
PXI="$IMAGE/drive_c/ZELTRO/PXI"
SIMINI="$IMAGE/drive_c/ZELTRO/SimModule/ztsimmod.ini"

# The demo system, copied over the image.
from_demo() { cp -r "$DEMO/." "$IMAGE/"; }

# Appends keys at the end of the first ztsimmod.ini section that serves MODEL
# (later keys win there):
#   sim_add MODEL "Key = value" ...
sim_add() {
  local model=$1
  shift
  MODEL=$model KEYS=$(printf '%s\n' "$@") perl -0777 -i -pe '
    s/(\nModel\s*=\s*"?\Q$ENV{MODEL}\E"?[ \t]*\r?\n(?:(?!\[)[^\n]*\n)*)/$1$ENV{KEYS}\n/ or die "no section for $ENV{MODEL}\n"' "$SIMINI"
}

# Registry lines appended to the image's registry.reg.
reg_add() { printf '%s\r\n' "$@" >>"$IMAGE/registry.reg"; }
