#!/usr/bin/env bash
# Builds the Windows download: dist/KorLinkWalker-VERSION-win64.zip with KorLinkWalker.exe,
# README.md and LICENSE, and dist/SHA256SUMS. The same sources give the same bytes in any folder:
# the executable has no link time, build paths or debug information, and the archive has fixed
# entry times, order and permissions.
#   tools/package.sh      (build tree: $KLW_BUILD_DIR/package, default build/package; output:
#                          $KLW_DIST_DIR, default dist/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KLW_BUILD_DIR:-$root/build}/package
dist=${KLW_DIST_DIR:-$root/dist}
"$root/tools/setup.sh"

version=$(sed -n 's/^project(KorLinkWalker VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "package.sh: no version in CMakeLists.txt" >&2; exit 1; }
zip="KorLinkWalker-$version-win64.zip"

echo "== Building KorLinkWalker.exe $version in $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_EXE_LINKER_FLAGS_RELEASE=-s \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" --target KorLinkWalker

mkdir -p "$dist"
rm -f "$dist/$zip" "$dist/SHA256SUMS"
python3 - "$dist/$zip" "$build/src/app/KorLinkWalker.exe" "$root/README.md" "$root/LICENSE" <<'PY'
import os, sys, zipfile
out, *files = sys.argv[1:]
tmp = out + ".new"
with zipfile.ZipFile(tmp, "w") as z:
    for path in files:
        info = zipfile.ZipInfo(os.path.basename(path), date_time=(2026, 1, 1, 0, 0, 0))
        info.create_system = 3  # Unix, so that the permissions below are read
        info.external_attr = 0o100644 << 16
        info.compress_type = zipfile.ZIP_DEFLATED
        with open(path, "rb") as f:
            z.writestr(info, f.read(), compresslevel=9)
os.replace(tmp, out)
PY
(cd "$dist" && sha256sum "$zip" >SHA256SUMS)
echo "$dist/$zip"
cat "$dist/SHA256SUMS"
