#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Times velbrook-hdiutil against xorriso and genisoimage, and against what this machine can do at all with the
same bytes: read every file (cat), write an image's size (dd, through the page cache and direct, each flushed),
copy the tree (copy_file_range, in C).

Not a test: it prints figures. Commands run interleaved (A B C, A B C, ...) on a warm cache (a tree of more than a
quarter of the memory is read again before each run), each followed by sync, which its time includes:
velbrook-hdiutil flushes its image before it reports success and the others do not. For each command it prints
the median time, peak RSS, how much the page cache grew over the run (an image left in the cache is what pushes
the user's files out of it when memory is short), the ratio to the best peer and to the limit, max(read, write).
Then the targets, met or not, and whether velbrook-hdiutil's image reads back as the tree through bsdtar and
pycdlib.
  VELBROOK_HDIUTIL       tool to time (default: build/bin/velbrook-hdiutil beside this checkout)
  BENCH_BASELINE         another build of the tool to time beside it, shown as "baseline" (none)
  BENCH_DIR              scratch folder (default: a new folder in $TMPDIR)
  BENCH_SMALL_FILES      files in the small-file tree (50000)
  BENCH_SMALL_MB         total size of the small-file tree (500)
  BENCH_BIG_FILES        files in the big-file tree (3)
  BENCH_BIG_MB           size of each big file (2048)
  BENCH_RUNS             runs per command; the median is shown (3)
  BENCH_TREES            which trees, comma-separated (small,big; with VB_SCALE=1 also million,10gib)
  BENCH_SKIP             commands to leave out, comma-separated (none): copy_file_range makes a million files
                         here at some 2,000 a second
  VB_SCALE=1             adds a tree of 1,000,000 entries and one of 10 GiB with a 5 GiB file
Run it with /usr/bin/python3, the Python that has pycdlib.
"""

import os
import random
import shutil
import statistics
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TOOL = os.environ.get("VELBROOK_HDIUTIL", os.path.join(HERE, "..", "build", "bin", "velbrook-hdiutil"))
BASELINE = os.environ.get("BENCH_BASELINE", "")
SMALL_FILES = int(os.environ.get("BENCH_SMALL_FILES", "50000"))
SMALL_MB = int(os.environ.get("BENCH_SMALL_MB", "500"))
BIG_FILES = int(os.environ.get("BENCH_BIG_FILES", "3"))
BIG_MB = int(os.environ.get("BENCH_BIG_MB", "2048"))
RUNS = int(os.environ.get("BENCH_RUNS", "3"))
MIB = 1 << 20


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


def build_million_tree(root, entries=1_000_000):
    """Mostly small files in folders of about 1,000 entries, a few of 10,000, 1 % links, depth up to 9."""
    rng = random.Random(1)
    block = os.urandom(1 << 17)
    folders, made = [(root, 0)], 0
    while folders and made < entries:
        folder, depth = folders.pop(0)
        os.makedirs(folder, exist_ok=True)
        count = min(entries - made, 10_000 if rng.random() < 0.02 else rng.randint(800, 1200))
        subfolders = 0 if depth == 9 else 2
        for i in range(count):
            name = os.path.join(folder, f"entry {i:05d}")
            if i < subfolders:
                folders.append((name + " folder", depth + 1))
            elif i % 100 == 99:
                os.symlink(f"entry {i - 1:05d}.dat", name + ".link")
            else:
                size = min(int(rng.expovariate(1 / 1800)), len(block) - 4096)
                fd = os.open(name + ".dat", os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o644)
                os.write(fd, block[i % 4096:i % 4096 + size])
                os.close(fd)
        made += count


def build_ten_gib_tree(root):
    """10 GiB in 4 files, one of them 5 GiB: past the 4 GiB a single extent can hold."""
    os.makedirs(root)
    chunk = os.urandom(MIB)
    for i, gib in enumerate((5, 2, 2, 1)):
        with open(os.path.join(root, f"big {i}.bin"), "wb") as f:
            for j in range(gib * 1024):
                f.write(chunk[j % 256:] + chunk[:j % 256])


def tree_bytes(root):
    return sum(os.lstat(os.path.join(d, n)).st_size for d, _, files in os.walk(root) for n in files)


def entries_below(root):
    return {os.path.relpath(os.path.join(d, n), root) for d, dirs, files in os.walk(root) for n in dirs + files}


def build_copy_program(scratch):
    program = os.path.join(scratch, "copy_tree")
    subprocess.run(["cc", "-O2", "-o", program, os.path.join(HERE, "copy_tree.c")], check=True)
    return program


def commands(source, out, image_bytes, copy_program):
    image = os.path.join(out, "image.iso")
    blocks = str(-(-image_bytes // (4 * MIB)))
    dd = ["dd", "if=/dev/zero", f"of={image}", "bs=4M", f"count={blocks}", "conv=fsync", "status=none"]
    found = {
        "velbrook-hdiutil": [TOOL, "makehybrid", "-o", image, source, "-iso", "-joliet", "-quiet"],
        "baseline": [BASELINE, "makehybrid", "-o", image, source, "-iso", "-joliet", "-quiet"],
        "xorriso": ["xorriso", "-as", "mkisofs", "-quiet", "-R", "-J", "-iso-level", "3", "-o", image, source],
        "genisoimage": ["genisoimage", "-quiet", "-R", "-J", "-joliet-long", "-D", "-iso-level", "3", "-o", image,
                        source],
        "read (cat)": ["sh", "-c", 'find "$1" -type f -print0 | xargs -0 cat >/dev/null', "sh", source],
        "write (dd)": dd,
        "write (dd direct)": [*dd, "oflag=direct"],
        "copy_file_range": [copy_program, source, os.path.join(out, "copy")],
    }
    skipped = os.environ.get("BENCH_SKIP", "").split(",")
    return {name: argv for name, argv in found.items() if argv[0] and shutil.which(argv[0]) and name not in skipped}


def meminfo_mib(field):
    with open("/proc/meminfo") as f:
        return next(int(line.split()[1]) for line in f if line.startswith(field + ":")) / 1024


def run_once(argv, out, warm=None):
    """(seconds including sync, peak RSS in MiB, page cache growth in MiB), or None where the command failed.
    `warm`: a source to read again first, untimed."""
    subprocess.run(["rm", "-rf", out], check=True)
    os.makedirs(out)
    if warm:
        subprocess.run(["sh", "-c", 'find "$1" -type f -print0 | xargs -0 cat >/dev/null', "sh", warm], check=True)
    subprocess.run(["sync"], check=True)
    # A child forked from Python would inherit Python's high-water mark, so a small parent measures it.
    rss_file = os.path.join(os.path.dirname(out), "rss")
    cached = meminfo_mib("Cached")
    start = time.perf_counter()
    proc = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", rss_file, *argv], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL)
    subprocess.run(["sync"], check=True)
    elapsed = time.perf_counter() - start
    grown = meminfo_mib("Cached") - cached
    if proc.returncode != 0:
        return None
    with open(rss_file) as f:
        return elapsed, int(f.read().split()[-1]) / 1024, grown


def reads_back(source, image, scratch):
    """Whether bsdtar extracts the tree byte for byte and pycdlib lists every entry of it."""
    target = os.path.join(scratch, "extracted")
    subprocess.run(["rm", "-rf", target], check=True)
    os.makedirs(target)
    extracted = subprocess.run(["bsdtar", "-xpf", image, "-C", target]).returncode == 0
    same = extracted and subprocess.run(["diff", "-rq", "--no-dereference", source, target],
                                        stdout=subprocess.DEVNULL).returncode == 0
    subprocess.run(["rm", "-rf", target], check=True)
    try:
        import pycdlib
        iso = pycdlib.PyCdlib()
        iso.open(image)
        listed = {os.path.relpath(os.path.join(d, n), "/") for d, dirs, files in iso.walk(rr_path="/")
                  for n in dirs + files}
        iso.close()
        pycdlib_ok = "yes" if listed == entries_below(source) else "NO"
    except ImportError:
        pycdlib_ok = "(no pycdlib)"
    return ("yes" if same else "NO"), pycdlib_ok


def bench_tree(label, source, scratch, copy_program):
    data = tree_bytes(source)
    entries = len(entries_below(source))
    out = os.path.join(scratch, "out")
    image = os.path.join(out, "image.iso")
    # Warms the cache, and gives the image's size for dd.
    if run_once(commands(source, out, 0, copy_program)["velbrook-hdiutil"], out) is None:
        raise SystemExit(f"velbrook-hdiutil failed on {label}")
    image_bytes = os.path.getsize(image)
    readable = reads_back(source, image, scratch)
    found = commands(source, out, image_bytes, copy_program)
    # The trees and images of one command would push a big tree out of the cache before the next.
    warm = source if data / MIB > meminfo_mib("MemTotal") / 4 else None
    runs = {name: [] for name in found}
    for _ in range(RUNS):
        for name, argv in found.items():
            runs[name].append(run_once(argv, out, warm))
    subprocess.run(["rm", "-rf", out], check=True)

    results = {}
    for name, measured in runs.items():
        if None in measured:
            results[name] = None
        else:
            seconds, peaks, grown = zip(*measured)
            results[name] = (statistics.median(seconds), max(peaks), statistics.median(grown))
    time_of = lambda name: results[name][0] if results.get(name) else None
    peers = [t for t in (time_of("xorriso"), time_of("genisoimage")) if t]
    best_peer = min(peers) if peers else None
    writes = [t for t in (time_of("write (dd)"), time_of("write (dd direct)")) if t]
    limit = max(time_of("read (cat)") or 0, min(writes) if writes else 0) or None

    print(f"\n{label}: {data / MIB:.0f} MiB in {entries} entries, image {image_bytes / MIB:.0f} MiB; median of {RUNS}"
          f" interleaved runs, each including sync")
    print(f"  {'command':<18} {'seconds':>8} {'MiB/s':>7} {'RSS MiB':>8} {'cache +MiB':>10} {'vs peer':>8}"
          f" {'vs limit':>9}")
    for name, result in results.items():
        if result is None:
            print(f"  {name:<18} {'failed':>8}")
            continue
        seconds, peak, grown = result
        vs_peer = f"{seconds / best_peer:.2f}x" if best_peer else "-"
        vs_limit = f"{seconds / limit:.2f}x" if limit else "-"
        print(f"  {name:<18} {seconds:8.2f} {data / MIB / seconds:7.0f} {peak:8.1f} {grown:10.0f} {vs_peer:>8}"
              f" {vs_limit:>9}")
    print(f"  image reads back as the tree: bsdtar {readable[0]}, pycdlib {readable[1]}")
    ours = results["velbrook-hdiutil"]
    targets = []
    if label.startswith("10 GiB") and time_of("write (dd direct)"):
        targets.append(("within 1.05x of dd direct", ours[0] / time_of("write (dd direct)"), 1.05))
    if label.startswith("1,000,000"):
        if limit:
            targets.append(("at most 1.3x max(read, write)", ours[0] / limit, 1.3))
        targets.append(("at most 600 MiB RSS", ours[1], 600))
        if best_peer:
            targets.append(("at most 0.5x the best peer", ours[0] / best_peer, 0.5))
    for text, value, bound in targets:
        print(f"  target {text}: {value:.2f} {'met' if value <= bound else 'NOT met'}")


TREES = {
    "small": ("small files", build_small_tree),
    "big": ("big files", build_big_tree),
    "million": ("1,000,000 entries", build_million_tree),
    "10gib": ("10 GiB in 4 files", build_ten_gib_tree),
}


def main():
    if not os.path.exists(TOOL):
        raise SystemExit(f"no tool at {TOOL}; set VELBROOK_HDIUTIL")
    default = "small,big,million,10gib" if os.environ.get("VB_SCALE") == "1" else "small,big"
    chosen = os.environ.get("BENCH_TREES", default).split(",")
    scratch = os.environ.get("BENCH_DIR") or tempfile.mkdtemp(prefix="velbrook-bench-")
    os.makedirs(scratch, exist_ok=True)
    try:
        copy_program = build_copy_program(scratch)
        for key in chosen:
            label, build = TREES[key]
            root = os.path.join(scratch, key)
            print(f"building the {label} tree in {root} ...", flush=True)
            build(root)
            bench_tree(label, root, scratch, copy_program)
            subprocess.run(["rm", "-rf", root], check=True)
    finally:
        subprocess.run(["rm", "-rf", scratch])


if __name__ == "__main__":
    main()
