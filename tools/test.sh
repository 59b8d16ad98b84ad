#!/usr/bin/env bash
# Builds and runs every test, headless: the portable core natively (AddressSanitizer and
# UndefinedBehaviorSanitizer), the program and its Windows tests under Wine on a virtual
# display, the Windows sources once more with clang, the installation (with links dragged from X
# and lists pasted from the X clipboard) and the Windows download, and the fuzzers of the list
# file reader and of dropped and pasted data for a bounded time. Ends with a summary of every step.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tools/virtual-display.sh"
build=${KLW_BUILD_DIR:-$root/build}
"$root/tools/setup.sh"

echo "== Native tree: $build/native"
cmake -S "$root" -B "$build/native" -G Ninja -DKLW_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build/native"

echo "== Windows tree: $build/win"
cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build/win"

status=0
# A second compiler over the same commands, so that what only GCC accepts fails here.
echo "== Windows sources with clang"
step_start=$SECONDS
if python3 "$root/tools/clang-check.py" "$build/win" "$root"; then clang_status=passed; else clang_status=failed; status=1; fi
clang_status="$clang_status ($((SECONDS - step_start)) s)"
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

echo "== Native tests"
ctest --test-dir "$build/native" --output-on-failure 2>&1 | tee "$build/native-ctest.log" || status=1
echo "== Windows tests under Wine"
ctest --test-dir "$build/win" --output-on-failure 2>&1 | tee "$build/win-ctest.log" || status=1

echo "== Installation: tools/install.sh in a temporary HOME, the desktop entry, launcher, uninstall"
step_start=$SECONDS
if bash "$root/tests/install/install_test.sh" "$build"; then install_status=passed; else install_status=failed; status=1; fi
install_status="$install_status ($((SECONDS - step_start)) s)"
echo "== X drops and paste: links dragged from X and lists pasted from the X clipboard into the installed program"
step_start=$SECONDS
if bash "$root/tests/install/x_drop_paste_test.sh" "$build"; then xdrop_status=passed; else xdrop_status=failed; status=1; fi
xdrop_status="$xdrop_status ($((SECONDS - step_start)) s)"
echo "== Windows download: tools/package.sh in two folders"
step_start=$SECONDS
if bash "$root/tests/package/package_test.sh" "$build"; then package_status=passed; else package_status=failed; status=1; fi
package_status="$package_status ($((SECONDS - step_start)) s)"

fuzz_status=skipped
transfer_fuzz_status=skipped
if [ -x "$root/tools/fuzz.sh" ]; then
  echo "== Fuzzing the list file reader"
  if KLW_BUILD_DIR="$build" "$root/tools/fuzz.sh" "${KLW_FUZZ_SECONDS:-60}" reader; then fuzz_status=passed; else fuzz_status=failed; status=1; fi
  echo "== Fuzzing the decoding of dropped and pasted data"
  if KLW_BUILD_DIR="$build" "$root/tools/fuzz.sh" "${KLW_FUZZ_SECONDS:-60}" transfer; then transfer_fuzz_status=passed; else transfer_fuzz_status=failed; status=1; fi
fi

echo
echo "== Summary"
echo "Clang, Windows sources: $clang_status"
echo "Installation: $install_status"
echo "X drops and paste: $xdrop_status"
echo "Windows download: $package_status"
echo "Fuzzer, list file reader: $fuzz_status"
echo "Fuzzer, dropped and pasted data: $transfer_fuzz_status"
echo "Native tree:"
grep -E "tests passed|tests failed" "$build/native-ctest.log" | tail -1 || status=1
echo "Windows tree (Wine):"
grep -E "tests passed|tests failed" "$build/win-ctest.log" | tail -1 || status=1
exit $status
