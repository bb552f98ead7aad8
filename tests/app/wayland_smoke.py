#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The app on Wayland, in a headless weston: it starts with an item from its command line, draws its window, and quits
cleanly on SIGTERM. The compositor has no input devices, so nothing is clicked or typed (and no file dialog opened:
Qt 6.4's Wayland code crashes opening one where the seat has no input at all)."""
import glob
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

SKIPPED = 77


def pixels(png):
    """The image data of a PNG, still filtered row by row: enough to tell how much of the screen changed."""
    data, at, image = open(png, "rb").read(), 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        image += data[at + 8:at + 8 + length] if kind == b"IDAT" else b""
        at += 12 + length
    return zlib.decompress(image)


def screenshot(work, env):
    for old in os.listdir(work):
        if old.startswith("wayland-screenshot"):
            os.remove(os.path.join(work, old))
    subprocess.run(["weston-screenshooter"], cwd=work, env=env, check=True, timeout=20)
    (shot,) = [name for name in os.listdir(work) if name.startswith("wayland-screenshot")]
    return pixels(os.path.join(work, shot))


def main(app):
    if not shutil.which("weston-screenshooter") or not glob.glob("/usr/lib/*/qt6/plugins/platforms/libqwayland-*.so"):
        print("needs weston and Qt's Wayland platform plugin (qt6-wayland)")
        return SKIPPED
    with tempfile.TemporaryDirectory(prefix="velbrook-wayland-") as work:
        runtime = os.path.join(work, "runtime")
        os.mkdir(runtime, 0o700)
        env = {**os.environ, "XDG_RUNTIME_DIR": runtime, "WAYLAND_DISPLAY": "velbrook-smoke", "QT_QPA_PLATFORM": "wayland"}
        for name in ("DISPLAY", "QT_QPA_PLATFORMTHEME"):
            env.pop(name, None)
        # Under AddressSanitizer: libwayland and Qt's Wayland plugins keep memory to the end, some of it in a plugin
        # unloaded by then, which no suppression can name. Leaks of ours show in every other test.
        env["ASAN_OPTIONS"] = os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0"
        # --debug lets the screenshooter in; pixman renders, where the headless default draws nothing.
        compositor = subprocess.Popen(["weston", "--backend=headless-backend.so", "--use-pixman", "--debug",
                                       "--socket=velbrook-smoke", "--width=960", "--height=512", "--idle-time=0"],
                                      env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            deadline = time.monotonic() + 20
            while not os.path.exists(os.path.join(runtime, "velbrook-smoke")) and time.monotonic() < deadline:
                time.sleep(0.1)
            time.sleep(1)  # the shell's own surfaces
            before = screenshot(work, env)
            item = os.path.join(work, "notes.txt")
            open(item, "w").write("notes\n")
            velbrook = subprocess.Popen([app, item], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
            # The window covers much of the screen once it is drawn: a 1920x1080 laptop at 200%, less a panel.
            changed, enough, deadline = 0, len(before) // 10, time.monotonic() + 30
            while changed < enough and time.monotonic() < deadline:
                time.sleep(0.5)
                after = screenshot(work, env)
                changed = sum(a != b for a, b in zip(before, after))
            if velbrook.poll() is not None:
                print(f"the app ended by itself, status {velbrook.returncode}:\n{velbrook.stdout.read().decode()}")
                return 1
            print(f"{changed} bytes of the screen changed")
            velbrook.send_signal(signal.SIGTERM)
            status = velbrook.wait(timeout=20)
            said = velbrook.stdout.read().decode()
            print(said, end="")
            if changed < enough:
                print("the window was not drawn")
                return 1
            if status != 0:
                print(f"SIGTERM ended the app with status {status}")
                return 1
            return 0
        finally:
            compositor.terminate()
            compositor.wait(timeout=20)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
