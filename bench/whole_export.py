#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Times whole exports through the model (checks, staging where there is any, the image tool, cleanup) against the
image tool alone.

Not a test: it prints figures. Uses the trees of image_tool.py (same environment variables for their sizes), its
tree of a million entries and a folder of 40,000 empty files. The temporary folder is put on the sources' file
system, as on a desktop whose home and temporary folder share a disk. For each tree it prints the longest
main-thread stall during the export, the whole export (start to image ready, the image flushed by the tool), the
tool alone, their ratio against the target of 1.1, the megabytes the export wrote besides the image (what the
export process and its tool caused to be written, less the image), and how the source was staged; medians of
BENCH_RUNS runs. As root, where the FUSE drivers are installed, the small-file tree is also exported to a FAT32 and an
exFAT file system, as on a USB stick, and a tree of 1 MiB files on such a stick is exported to the disk: those
figures are the FUSE drivers' (userspace, one thread), not a stick's, but both sides of the ratio pay them alike.
  VELBROOK_BUILD   build folder (default: build beside this checkout)
  BENCH_EMPTY_FILES  files in the empty-file tree (40000)
  BENCH_MILLION_ENTRIES  entries in the million-entry tree (1000000)
  BENCH_STICK_FILES  1 MiB files in the tree on a stick (500)
  BENCH_BASELINE_BUILD   another build folder to time beside it, interleaved, shown as "(baseline)" (none)
"""

import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import image_tool  # noqa: E402  (the trees and the tool's path)

BUILD = os.environ.get("VELBROOK_BUILD", os.path.join(HERE, "..", "build"))
TOOL = os.environ.get("VELBROOK_HDIUTIL", os.path.join(BUILD, "bin", "velbrook-hdiutil"))
EXPORT = os.path.join(BUILD, "bin", "bench_whole_export")
EMPTY_FILES = int(os.environ.get("BENCH_EMPTY_FILES", "40000"))
MILLION_ENTRIES = int(os.environ.get("BENCH_MILLION_ENTRIES", "1000000"))
STICK_FILES = int(os.environ.get("BENCH_STICK_FILES", "500"))
TARGET = 1.1  # the whole export against the tool alone
MIB = 1 << 20
BASELINE_BUILD = os.environ.get("BENCH_BASELINE_BUILD", "")
# Each build timed: its name's suffix in the table, (its image tool, its export program).
BUILDS = {"": (TOOL, EXPORT)}
if BASELINE_BUILD:
    BUILDS[" (baseline)"] = tuple(os.path.join(BASELINE_BUILD, "bin", name)
                                  for name in ("velbrook-hdiutil", "bench_whole_export"))


def build_empty_tree(root):
    os.makedirs(root)
    for i in range(EMPTY_FILES):
        open(os.path.join(root, f"empty {i:05d}"), "wb").close()


def build_stick_tree(root):
    chunk = os.urandom(MIB)
    for i in range(STICK_FILES):
        folder = os.path.join(root, f"photos {i // 100:02d}")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, f"photo {i:04d}.jpg"), "wb") as f:
            f.write(chunk[i % 256:] + chunk[:i % 256])


def build_million_tree(root):
    image_tool.build_million_tree(root, MILLION_ENTRIES)


def fresh(folder):
    """Empties `folder`, made once: fusefat has lost a folder made anew just before the tool opened it."""
    os.makedirs(folder, exist_ok=True)
    for name in os.listdir(folder):
        os.remove(os.path.join(folder, name))
    subprocess.run(["sync"], check=True)


def tool_alone(tool, source, out):
    fresh(out)
    start = time.perf_counter()
    subprocess.run([tool, "makehybrid", "-o", os.path.join(out, "image.iso"), source, "-iso", "-joliet", "-quiet"],
                   check=True)
    return time.perf_counter() - start


def whole_export(export, tool, source, out, env):
    fresh(out)
    # What the export and its tool caused to be written (counted as it is dirtied, or sent to the disk directly), once
    # both are reaped.
    before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_oublock
    done = subprocess.run([export, tool, source, out], env=env, check=True, capture_output=True, text=True)
    written = (resource.getrusage(resource.RUSAGE_CHILDREN).ru_oublock - before) * 512
    image = sum(os.path.getsize(os.path.join(out, name)) for name in os.listdir(out))
    fields = dict(part.split("=", 1) for part in done.stdout.split())
    return float(fields["seconds"]), int(fields["stall_ms"]), written - image, fields["methods"].replace("_", " ")


def bench(label, source, scratch, env, destination=None):
    out = os.path.join(destination or scratch, "out")
    figures = {suffix: ([], [], [], [], set()) for suffix in BUILDS}
    for _ in range(image_tool.RUNS):
        for suffix, (tool, export) in BUILDS.items():
            alone, whole, stalls, besides, methods = figures[suffix]
            alone.append(tool_alone(tool, source, out))
            seconds, stall, written, method = whole_export(export, tool, source, out, env)
            whole.append(seconds)
            stalls.append(stall)
            besides.append(written)
            methods.add(method)
    shutil.rmtree(out, ignore_errors=True)
    for suffix, (alone, whole, stalls, besides, methods) in figures.items():
        a, w = statistics.median(alone), statistics.median(whole)
        verdict = "met" if w / a <= TARGET else "not met"
        extra = f"{max(besides) / MIB:.1f}"
        print(f"  {label + suffix:<40} {max(stalls):>9} {w:>9.2f} {a:>9.2f} {w / a:>7.2f}x {verdict:>8} {extra:>9}  "
              f"{', '.join(sorted(methods))}", flush=True)


# label: (make the file system in {image}, mount it on {point}); exFAT's driver wants a block device.
STICKS = {
    "FAT32": ("mkfs.vfat -F 32 {image}", "fusefat -o rw+,hard_remove {image} {point}"),
    "exFAT": ("mkfs.exfat {image}", "mount.exfat-fuse -o hard_remove $(losetup -f --show {image}) {point}"),
}


def mounted_sticks(scratch):
    """Mounts each stick it can, 4 GB each (sparse); yields (label, mount point)."""
    for label, (make, mount) in STICKS.items():
        point, image = os.path.join(scratch, label), os.path.join(scratch, label + ".img")
        os.makedirs(point)
        names = {"point": point, "image": image}
        command = f"truncate -s 4G {image} && {make} >/dev/null && {mount}".format(**names)
        if os.geteuid() != 0 or subprocess.run(command, shell=True, capture_output=True).returncode != 0:
            print(f"  ({label}: cannot mount it here)")
            continue
        # The FUSE drivers may return before the mount is in place; a folder made before it would be hidden.
        for _ in range(100):
            if os.path.ismount(point):
                break
            time.sleep(0.05)
        os.mkdir(os.path.join(point, "out"))
        subprocess.run(["sync"], check=True)
        try:
            yield label, point
        finally:
            subprocess.run(f"umount {point}; losetup -j {image} -O NAME -n | xargs -r losetup -d", shell=True)
            os.remove(image)


def main():
    for program in [program for programs in BUILDS.values() for program in programs]:
        if not os.path.exists(program):
            raise SystemExit(f"no {program}; build first (./dev build)")
    scratch = os.environ.get("BENCH_DIR") or tempfile.mkdtemp(prefix="velbrook-bench-", dir=os.path.expanduser("~"))
    os.makedirs(scratch, exist_ok=True)
    temp = os.path.join(scratch, "tmp")
    os.makedirs(temp)
    env = dict(os.environ, TMPDIR=temp, XDG_CACHE_HOME=os.path.join(scratch, "cache"))
    try:
        print(f"building trees in {scratch} ...", flush=True)
        trees = [("big files", os.path.join(scratch, "big"), image_tool.build_big_tree),
                 ("small files", os.path.join(scratch, "small"), image_tool.build_small_tree),
                 (f"{EMPTY_FILES} empty files", os.path.join(scratch, "empty"), build_empty_tree),
                 (f"{MILLION_ENTRIES} entries", os.path.join(scratch, "million"), build_million_tree)]
        for _, root, build in trees:
            build(root)
        print(f"median of {image_tool.RUNS} runs; stall is the longest over all runs")
        print(f"  {'tree':<40} {'stall ms':>9} {'export s':>9} {'tool s':>9} {'ratio':>8} {'<=1.1':>8} "
              f"{'extra MB':>9}  staging")
        for label, root, _ in trees:
            bench(label, root, scratch, env)
        for stick, point in mounted_sticks(scratch):
            bench(f"small files to {stick}", trees[1][1], scratch, env, point)
            build_stick_tree(on_stick := os.path.join(point, "photos"))
            bench(f"{STICK_FILES} MiB from {stick} to the disk", on_stick, scratch, env)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
