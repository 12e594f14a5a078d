#!/usr/bin/python3
"""The English game's words as a screen reader gets them: the menu bar's menus and items, and the
properties dialog's controls. Usage: english_reader.py <window id>"""
import subprocess, sys, time  # noqa: E401

import pyatspi
from gi.repository import GLib

window = sys.argv[1]
# The game exposes its objects once something listens.
pyatspi.Registry.registerEventListener(lambda event: None, "object:state-changed:focused")


def pump(seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while GLib.MainContext.default().iteration(False):
            pass
        time.sleep(0.02)


def names(role, inside=None):
    """The names of the objects of that role, in the order of the tree, each up to its shortcut."""
    found = pyatspi.findAllDescendants(inside or pyatspi.Registry.getDesktop(0),
                                       lambda o: o.getRole() == role)
    for o in found:
        o.clearCache()
    return [o.name.split("\t")[0] for o in found]


def expect(role, wanted, what):
    """Waits until the objects of that role carry exactly the wanted names, in order."""
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        got = [n for n in names(role) if n]
        if got == wanted:
            return
        pump(0.2)
    sys.exit(f"FAIL: {what}: {got!r}, not {wanted!r}")


subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
pump(0.5)
expect(pyatspi.ROLE_MENU_ITEM, ["Game", "Start", "Best Times...", "Back to Title", "Properties...",
                                "Exit", "Help", "Contents", "About..."], "the menus")

subprocess.run(["xdotool", "key", "--window", window, "ctrl+p"], check=True)
expect(pyatspi.ROLE_RADIO_BUTTON,
       ["10 x 10, Beginner", "15 x 15, Intermediate", "20 x 20, Advanced (needs SVGA)"],
       "the properties dialog's levels")
expect(pyatspi.ROLE_PUSH_BUTTON, ["OK", "Cancel", "Clear the Beginner records",
                                  "Clear the Intermediate records", "Clear the Advanced records"],
       "the properties dialog's buttons")
print("english: the menu and the dialog speak English")
