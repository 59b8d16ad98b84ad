#!/usr/bin/env python3
"""Compiles the project's Windows sources a second time, with clang for the mingw-w64 target.

    clang-check.py WINDOWS_BUILD_DIR SOURCE_ROOT

Replays each C++ command of WINDOWS_BUILD_DIR/compile_commands.json whose file lies under
SOURCE_ROOT (the cross-compiled GoogleTest is not ours) as clang++ --target=x86_64-w64-mingw32
-fsyntax-only -Werror, with the same definitions, include folders and warnings, against the
mingw-w64 headers and the libstdc++ of the cross compiler. A construct that only GCC accepts
fails here. Compile only: clang cannot link against mingw's emulated thread-local storage."""
import concurrent.futures
import json
import os
import shlex
import subprocess
import sys

TARGET = "x86_64-w64-mingw32"
# Options of the recorded commands that concern the output or GCC alone.
DROP_WITH_VALUE = {"-o", "-MT", "-MF", "-MQ"}
DROP = {"-c", "-MD", "-MMD", "-Wno-restrict"}


def gcc_include_dirs(compiler):
    """The cross compiler's own search list, less its internal headers (clang has its own)."""
    out = subprocess.run([compiler, "-xc++", "-E", "-v", "-"], stdin=subprocess.DEVNULL,
                         capture_output=True, text=True, check=True).stderr.splitlines()
    start = out.index("#include <...> search starts here:") + 1
    end = out.index("End of search list.")
    internal = [subprocess.run([compiler, f"-print-file-name={d}"], capture_output=True,
                               text=True, check=True).stdout.strip()
                for d in ("include", "include-fixed")]
    dirs = [os.path.realpath(line.strip()) for line in out[start:end]]
    return [d for d in dirs if d not in map(os.path.realpath, internal)]


def clang_command(entry, base):
    args = shlex.split(entry["command"]) if "command" in entry else list(entry["arguments"])
    kept, skip = [], False
    for a in args[1:]:
        if skip:
            skip = False
        elif a in DROP_WITH_VALUE:
            skip = True
        elif a not in DROP and os.path.realpath(os.path.join(entry["directory"], a)) != entry["_file"]:
            kept.append(a)
    return base + kept + ["-fsyntax-only", "-Werror", entry["_file"]]


def main():
    build, root = (os.path.realpath(p) for p in sys.argv[1:3])
    with open(os.path.join(build, "compile_commands.json")) as f:
        entries = json.load(f)
    ours = []
    for e in entries:
        e["_file"] = os.path.realpath(os.path.join(e["directory"], e["file"]))
        if e["_file"].startswith(root + os.sep) and e["_file"].endswith(".cpp"):
            ours.append(e)
    if not ours:
        sys.exit(f"clang: no C++ sources of {root} in {build}/compile_commands.json")
    compiler = shlex.split(ours[0]["command"])[0] if "command" in ours[0] else ours[0]["arguments"][0]
    resource = subprocess.run(["clang++", "-print-resource-dir"], capture_output=True, text=True,
                              check=True).stdout.strip()
    base = ["clang++", f"--target={TARGET}", "-nostdinc", "-isystem", resource + "/include"]
    for d in gcc_include_dirs(compiler):
        base += ["-isystem", d]

    def check(entry):
        cmd = clang_command(entry, base)
        r = subprocess.run(cmd, cwd=entry["directory"], capture_output=True, text=True)
        return entry["_file"], r.returncode, r.stderr, cmd

    failed = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        for path, code, err, cmd in pool.map(check, ours):
            if code != 0 or err.strip():
                failed += 1
                print(f"clang: FAILED {os.path.relpath(path, root)}\n  {shlex.join(cmd)}\n{err}",
                      file=sys.stderr)
    print(f"clang {TARGET}: {len(ours) - failed} of {len(ours)} Windows source files compile "
          f"without warnings")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
