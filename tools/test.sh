#!/usr/bin/env bash
# Builds and runs every test, headless: the portable core natively (AddressSanitizer and
# UndefinedBehaviorSanitizer), the program and its Windows tests under Wine on a virtual
# display, and the reader's fuzzer for a bounded time. Ends with the CTest summaries.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/virtual-display.sh"
build=${KLW_BUILD_DIR:-$root/build}
"$root/tools/setup.sh"

echo "== Native tree: $build/native"
cmake -S "$root" -B "$build/native" -G Ninja -DKLW_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build/native"

echo "== Windows tree: $build/win"
cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build/win"
"$root/tools/wineprefix.sh" "$build/win/prefix-96" 96 unmanaged
"$root/tools/wineprefix.sh" "$build/win/prefix-120" 120 unmanaged

# A virtual display of our own, and a wineserver kept alive per prefix for the whole run.
start_virtual_display 90
cleanup() {
  for p in "$build/win/prefix-96" "$build/win/prefix-120"; do WINEPREFIX=$p wineserver -k >/dev/null 2>&1 || true; done
  kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT
for p in "$build/win/prefix-96" "$build/win/prefix-120"; do
  WINEPREFIX=$p wineserver -k >/dev/null 2>&1 </dev/null || true
  WINEPREFIX=$p wineserver -p >/dev/null 2>&1 </dev/null
  # Start Wine's own background processes now, away from CTest's pipes: a process that
  # inherited them would keep CTest waiting for the end of the output.
  WINEPREFIX=$p WINEDEBUG=-all wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
done

status=0
echo "== Native tests"
ctest --test-dir "$build/native" --output-on-failure 2>&1 | tee "$build/native-ctest.log" || status=1
echo "== Windows tests under Wine"
ctest --test-dir "$build/win" --output-on-failure 2>&1 | tee "$build/win-ctest.log" || status=1

fuzz_status=skipped
if [ -x "$root/tools/fuzz.sh" ]; then
  echo "== Fuzzing the list file reader"
  if KLW_BUILD_DIR="$build" "$root/tools/fuzz.sh" "${KLW_FUZZ_SECONDS:-60}"; then fuzz_status=passed; else fuzz_status=failed; status=1; fi
fi

echo
echo "== Summary"
echo "Fuzzer: $fuzz_status"
echo "Native tree:"
grep -E "tests passed|tests failed" "$build/native-ctest.log" | tail -1 || status=1
echo "Windows tree (Wine):"
grep -E "tests passed|tests failed" "$build/win-ctest.log" | tail -1 || status=1
exit $status
