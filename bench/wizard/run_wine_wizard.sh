#!/bin/sh
# Runs the setup program's wizard on Wine, an install and then an uninstall
# through its entry, each clicked through by the wizard driver, and leaves
# the screenshots of every page in OUTDIR.
#
#   bench/wizard/run_wine_wizard.sh OUTDIR
#
# Builds what it runs when needed: the test program in build/ and the driver
# in build-windows/x64/ (both folders configured already, as scripts/demo
# and scripts/test leave them). Exit status: the test program's; 3 when it
# took no screenshots (Wine, Xvfb, the locale or the Windows build missing:
# the test program says which).
set -eu

if [ $# -ne 1 ]; then
  echo "usage: $0 OUTDIR" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$1"
out=$(cd "$1" && pwd)

for folder in build build-windows/x64; do
  if [ ! -f "$root/$folder/build.ninja" ]; then
    echo "$0: $root/$folder is not configured (scripts/demo or cmake --workflow --preset windows first)" >&2
    exit 2
  fi
done
cmake --build "$root/build-windows/x64" -j2 --target wizard_driver
cmake --build "$root/build" -j2 --target test_wine_wizard

status=0
WINE_BENCH_SHOTS="$out" "$root/build/bin/test_wine_wizard" \
  --gtest_filter='WineWizard.InstallClickedThrough:WineWizard.UninstallThroughTheEntry' || status=$?
if [ ! -f "$out/install-1-welcome.png" ]; then
  echo "$0: no screenshots were taken (see the test output above)" >&2
  [ "$status" -ne 0 ] || status=3
  exit "$status"
fi
echo "Wine wizard screenshots in $out:"
ls -1 "$out"
exit "$status"
