# SPDX-License-Identifier: GPL-3.0-or-later
# A screen reader's view of process ARGV[1]: READY, then "shown" for notifications that show, "named" for the source
# area's new names, and for "tree" on stdin that area's subtree ("tree DEPTH"), then "end"; each with ROLE|NAME.
# "listen" registers the listeners again, for an application that started listening for them only afterwards.
import sys

import pyatspi
from gi.repository import GLib

process_id = int(sys.argv[1])
say = lambda kind, node: print(f"{kind} {node.getRoleName()}|{node.name}", flush=True)
is_source_area = lambda node: node.getRole() == pyatspi.ROLE_PUSH_BUTTON and node.name.startswith("Select Source")


def on_event(event):  # one about an object already gone raises, which the registry reports and passes over
    if event.source.get_process_id() != process_id:
        return
    if event.type.endswith(":showing") and event.detail1 and event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
        say("shown", event.source)
    elif event.type.endswith(":accessible-name") and is_source_area(event.source):
        say("named", event.source)


def print_tree(node, depth=0):
    say(f"tree {depth}", node)
    for child in node:
        print_tree(child, depth + 1)


def on_command(source, condition):
    command = sys.stdin.readline().strip()
    if not command:
        pyatspi.Registry.stop()
        return False
    if command == "listen":
        pyatspi.Registry.deregisterEventListener(on_event, *events)
        pyatspi.Registry.registerEventListener(on_event, *events)
        return True
    for application in pyatspi.Registry.getDesktop(0):
        if application and application.get_process_id() == process_id:
            print_tree(pyatspi.findDescendant(application, is_source_area))
    print("end", flush=True)
    return True


GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, on_command)
events = ("object:state-changed:showing", "object:property-change:accessible-name")
pyatspi.Registry.registerEventListener(on_event, *events)
print("READY", flush=True)
pyatspi.Registry.start()
