#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Times velbrook-hdiutil against xorriso, genisoimage, cp -a and a copy_file_range copy of the same bytes.

Not a test: it prints figures. Sizes come from the environment so it can run smaller:
  VELBROOK_HDIUTIL       tool to time (default: build/bin/velbrook-hdiutil beside this checkout)
  BENCH_DIR              scratch folder (default: a new folder in $TMPDIR)
  BENCH_SMALL_FILES      files in the small-file tree (50000)
  BENCH_SMALL_MB         total size of the small-file tree (500)
  BENCH_BIG_FILES        files in the big-file tree (3)
  BENCH_BIG_MB           size of each big file (2048)
  BENCH_RUNS             runs per command; the median is shown (3)
Every run is followed by sync, and the time shown includes it, because velbrook-hdiutil flushes its image
before it reports success and the others do not.
"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TOOL = os.environ.get("VELBROOK_HDIUTIL", os.path.join(HERE, "..", "build", "bin", "velbrook-hdiutil"))
SMALL_FILES = int(os.environ.get("BENCH_SMALL_FILES", "50000"))
SMALL_MB = int(os.environ.get("BENCH_SMALL_MB", "500"))
BIG_FILES = int(os.environ.get("BENCH_BIG_FILES", "3"))
BIG_MB = int(os.environ.get("BENCH_BIG_MB", "2048"))
RUNS = int(os.environ.get("BENCH_RUNS", "3"))
MIB = 1 << 20

COPY_FILE_RANGE = r"""
import os, sys
src, dst = sys.argv[1], sys.argv[2]
for folder, dirs, files in os.walk(src):
    out = os.path.join(dst, os.path.relpath(folder, src))
    os.makedirs(out, exist_ok=True)
    for name in files:
        with open(os.path.join(folder, name), "rb") as i, open(os.path.join(out, name), "wb") as o:
            left = os.fstat(i.fileno()).st_size
            while left > 0:
                n = os.copy_file_range(i.fileno(), o.fileno(), min(left, 1 << 30))
                if n == 0:
                    break
                left -= n
"""


def build_small_tree(root):
    size = max(1, SMALL_MB * MIB // SMALL_FILES)
    block = os.urandom(size + 4096)
    for i in range(SMALL_FILES):
        folder = os.path.join(root, f"folder {i // 1000:03d}")
        if i % 1000 == 0:
            os.makedirs(folder)
        with open(os.path.join(folder, f"file {i:06d}.dat"), "wb") as f:
            f.write(block[i % 4096:i % 4096 + size])


def build_big_tree(root):
    os.makedirs(root)
    chunk = os.urandom(MIB)
    for i in range(BIG_FILES):
        with open(os.path.join(root, f"big {i}.bin"), "wb") as f:
            for j in range(BIG_MB):
                f.write(chunk[j % 256:] + chunk[:j % 256])


def tree_bytes(root):
    return sum(os.lstat(os.path.join(d, n)).st_size for d, _, files in os.walk(root) for n in files)


def commands(source, out):
    image = os.path.join(out, "image.iso")
    copy = os.path.join(out, "copy")
    found = {
        "velbrook-hdiutil": [TOOL, "makehybrid", "-o", image, source, "-iso", "-joliet", "-quiet"],
        "xorriso": ["xorriso", "-as", "mkisofs", "-quiet", "-R", "-J", "-iso-level", "3", "-o", image, source],
        "genisoimage": ["genisoimage", "-quiet", "-R", "-J", "-joliet-long", "-D", "-iso-level", "3", "-o", image,
                        source],
        "cp -a": ["cp", "-a", source, copy],
        "copy_file_range": [sys.executable, "-c", COPY_FILE_RANGE, source, copy],
    }
    return {name: argv for name, argv in found.items() if shutil.which(argv[0]) or os.path.exists(argv[0])}


def run_once(argv, out):
    """Seconds including sync, and peak RSS in MiB."""
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    subprocess.run(["sync"], check=True)
    # A child forked from Python would inherit Python's high-water mark, so a small parent measures it.
    rss_file = os.path.join(os.path.dirname(out), "rss")
    timed = ["/usr/bin/time", "-f", "%M", "-o", rss_file, *argv] if os.path.exists("/usr/bin/time") else argv
    start = time.perf_counter()
    proc = subprocess.run(timed, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["sync"], check=True)
    elapsed = time.perf_counter() - start
    if proc.returncode != 0:
        raise SystemExit(f"{argv[0]} failed with status {proc.returncode}")
    if timed is argv:
        return elapsed, float("nan")
    with open(rss_file) as f:
        return elapsed, int(f.read().split()[-1]) / 1024


def bench_tree(label, source, scratch):
    data = tree_bytes(source)
    print(f"\n{label}: {data / MIB:.0f} MiB in {sum(len(f) for _, _, f in os.walk(source))} files, "
          f"median of {RUNS} runs (each including sync)")
    out = os.path.join(scratch, "out")
    results = {}
    for name, argv in commands(source, out).items():
        times, peaks = [], []
        for _ in range(RUNS):
            elapsed, peak = run_once(argv, out)
            times.append(elapsed)
            peaks.append(peak)
        results[name] = (statistics.median(times), max(peaks))
    shutil.rmtree(out, ignore_errors=True)
    limit = results.get("copy_file_range", (None,))[0]
    reference = results.get("xorriso", (None,))[0]
    print(f"  {'command':<18} {'seconds':>8} {'MiB/s':>8} {'peak RSS MiB':>13} {'vs xorriso':>11} {'vs copy':>8}")
    for name, (seconds, peak) in results.items():
        vs_x = f"{seconds / reference:.2f}x" if reference else "-"
        vs_c = f"{seconds / limit:.2f}x" if limit else "-"
        print(f"  {name:<18} {seconds:8.2f} {data / MIB / seconds:8.0f} {peak:13.1f} {vs_x:>11} {vs_c:>8}")


def main():
    if not os.path.exists(TOOL):
        raise SystemExit(f"no tool at {TOOL}; set VELBROOK_HDIUTIL")
    scratch = os.environ.get("BENCH_DIR") or tempfile.mkdtemp(prefix="velbrook-bench-")
    os.makedirs(scratch, exist_ok=True)
    try:
        small = os.path.join(scratch, "small")
        big = os.path.join(scratch, "big")
        print(f"building trees in {scratch} ...", flush=True)
        build_small_tree(small)
        build_big_tree(big)
        bench_tree("small files", small, scratch)
        bench_tree("big files", big, scratch)
        print("\nnote: libisofs asks its streams for 2 KiB at a time; velbrook-hdiutil's file stream answers from"
              "\n1 MiB reads, so the per-read cost that limits big files in xorriso does not apply to it.")
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
