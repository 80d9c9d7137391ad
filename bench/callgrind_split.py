#!/usr/bin/env python3
"""Instructions per frame from two callgrind runs of frame_bench that differ only
in their number of frames (everything before the frames, shader compilation
included, cancels out in the difference):

  callgrind_split.py SOURCE_DIR FILE_A FRAMES_A FILE_B FRAMES_B

prints the total per frame, the project's own code per frame (exclusive
instructions of functions whose source file is in basicsource/, support/,
objects/ or mathematics/ under SOURCE_DIR) and its share, then the costliest
own functions and the costliest shared objects."""
import os
import re
import subprocess
import sys
import tempfile

OWN_DIRS = ("basicsource/", "support/", "objects/", "mathematics/")
LINE = re.compile(r"^\s*([\d,]+)\s+\(\s*[\d.]+%\)\s+(.*?)(?:\s+\[(.*)\])?\s*$")


def exclusive_costs(path):
    """{(file:function, object): exclusive Ir} and the program total."""
    # callgrind_annotate shortens file names below its working directory, so it
    # runs in an empty one, where they all stay absolute.
    with tempfile.TemporaryDirectory() as empty:
        out = subprocess.run(
            ["callgrind_annotate", "--inclusive=no", "--auto=no", "--threshold=100",
             os.path.abspath(path)],
            check=True, capture_output=True, text=True, cwd=empty).stdout
    costs, total = {}, None
    for line in out.splitlines():
        m = LINE.match(line)
        if not m:
            continue
        ir = int(m.group(1).replace(",", ""))
        if m.group(2) == "PROGRAM TOTALS":
            total = ir
            continue
        key = (m.group(2), m.group(3) or "?")
        costs[key] = costs.get(key, 0) + ir
    return costs, total


def main():
    source, file_a, frames_a, file_b, frames_b = sys.argv[1:6]
    frames = int(frames_b) - int(frames_a)
    a, total_a = exclusive_costs(file_a)
    b, total_b = exclusive_costs(file_b)
    diff = {k: b.get(k, 0) - a.get(k, 0) for k in set(a) | set(b)}
    total = (total_b - total_a) / frames

    prefixes = tuple(source.rstrip("/") + "/" + d for d in OWN_DIRS)
    own = {k: v / frames for k, v in diff.items() if k[0].startswith(prefixes)}
    own_total = sum(own.values())

    print(f"instructions per frame: {total:,.0f}")
    print(f"  in the project's own code: {own_total:,.0f} ({100 * own_total / total:.3f}%)")
    print("  costliest own functions (exclusive, per frame):")
    for (name, _), v in sorted(own.items(), key=lambda kv: -kv[1])[:8]:
        print(f"    {v:12,.0f}  {name[len(source.rstrip('/')) + 1:]}")
    by_object = {}
    for (_, obj), v in diff.items():
        name = obj.rsplit("/", 1)[-1] if obj not in ("?", "???") else "JIT code (llvmpipe shaders)"
        by_object[name] = by_object.get(name, 0) + v / frames
    print("  by shared object (per frame):")
    for name, v in sorted(by_object.items(), key=lambda kv: -kv[1])[:6]:
        print(f"    {v:12,.0f}  ({100 * v / total:5.1f}%)  {name}")


if __name__ == "__main__":
    main()
