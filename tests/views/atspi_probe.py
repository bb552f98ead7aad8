# SPDX-License-Identifier: GPL-3.0-or-later
"""A screen reader's view of one process on the accessibility bus, for the view tests to read.

Prints READY once listening, then a line for each notification that shows ("shown ROLE|NAME") and each new name
of the source area ("named ROLE|NAME"); on "tree" from stdin, the source area's subtree ("tree DEPTH ROLE|NAME").
"""
import sys

import pyatspi
from gi.repository import GLib

process_id = int(sys.argv[1])


def line(kind, accessible, depth=None):
    where = "" if depth is None else f"{depth} "
    print(f"{kind} {where}{accessible.getRoleName()}|{accessible.name}", flush=True)


def ours(event):
    try:
        return event.source.get_process_id() == process_id
    except Exception:  # an object already gone
        return False


def on_event(event):
    if not ours(event):
        return
    if event.type.startswith("object:state-changed:showing") and event.detail1:
        if event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
            line("shown", event.source)
    elif event.source.name.startswith("Select Source"):
        line("named", event.source)


def print_tree(accessible, depth=0):
    line("tree", accessible, depth)
    for child in accessible:
        print_tree(child, depth + 1)


def source_area():
    for application in pyatspi.Registry.getDesktop(0):
        if application and application.get_process_id() == process_id:
            return pyatspi.findDescendant(
                application, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON and a.name.startswith("Select Source"))
    return None


def on_command(source, condition):
    command = sys.stdin.readline()
    if not command:
        pyatspi.Registry.stop()
        return False
    if command.strip() == "tree":
        area = source_area()
        if area:
            print_tree(area)
        print("end", flush=True)
    return True


GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, on_command)
pyatspi.Registry.registerEventListener(
    on_event, "object:state-changed:showing", "object:property-change:accessible-name")
print("READY", flush=True)
pyatspi.Registry.start()
