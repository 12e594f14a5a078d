#!/usr/bin/python3
"""What a screen reader is given, read with pyatspi, while a level-1 game is played by keys:
cells with their clues, names after a move, outcomes, the status key, the level's radio buttons.
With "en" instead of the board, the English game's menu and properties dialog.
Usage: screen_reader.py <window id> <board row>...   ('1' for a bomb) | en"""
import re, subprocess, sys, time  # noqa: E401

import pyatspi
from gi.repository import GLib

import reader_names
from reader_names import moves

window, board = sys.argv[1], sys.argv[2:]
heard = []  # (kind, name) in the order the bus gave them


def fresh_name(obj):
    obj.clearCache()
    return obj.name


def on_event(event):
    if event.type.startswith("object:state-changed") and not event.detail1:
        return
    try:
        heard.append(("shown" if "showing" in event.type else "focus", fresh_name(event.source)))
    except Exception:  # an object gone by the time it is read
        pass


pyatspi.Registry.registerEventListener(
    on_event, "object:state-changed:focused", "object:state-changed:showing")


def pump(seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while GLib.MainContext.default().iteration(False):
            pass
        time.sleep(0.02)


def act(keys, kind, pattern, what):
    """Presses the keys and waits for an event of that kind whose name matches the pattern."""
    start = len(heard)
    subprocess.run(["xdotool", "key", "--window", window, "--delay", "60", *keys], check=True)
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        pump(0.1)
        for k, name in heard[start:]:
            if k == kind and re.search(pattern, name or ""):
                return name
    sys.exit(f"FAIL: {what}: no {kind} event matching {pattern!r}; heard {heard[start:]}")


def cell(col, row, state):
    return reader_names.cell(board, col, row, state)


subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
if board == ["en"]:  # the English game: its menu and the properties dialog, in tree order
    act(["ctrl+p"], "focus", "", "the properties dialog")
    pump(1.0)
    got = "|".join(fresh_name(o).split("\t")[0] for o in pyatspi.findAllDescendants(
        pyatspi.Registry.getDesktop(0), lambda o: o.getRole() in (
            pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_PUSH_BUTTON)))
    if not re.search(r"Game\|Start\|Best Times...\|Back to Title\|Properties...\|Exit\|Help\|Contents\|"
                     r"About...\|.*10 x 10, Beginner\|.*Clear the Intermediate records", got):
        sys.exit(f"FAIL: the English menu and dialog read {got}")
    sys.exit(print("screen reader: the English menu and dialog heard"))
act(["ctrl+n"], "focus", "^初級のゲーム", "a new game names itself")
act(["Right"], "focus", cell(0, 0, "閉じたマス"), "the first arrow shows the cursor's cell")
act(["Right", "Down"], "focus", cell(1, 1, "閉じたマス"), "the cursor's cell after moving")

safe, bomb, closed = reader_names.cells_to_play(board)
act(moves((1, 1), safe) + ["space"], "shown", "^開きました$", "an opened cell")
act(moves(safe, closed) + ["f"], "shown", "^旗を立てました$", "a flag set")
table = next(o for o in pyatspi.findAllDescendants(pyatspi.Registry.getDesktop(0),
                                                   lambda o: o.getRole() == pyatspi.ROLE_TABLE))
flagged = table.queryTable().getAccessibleAt(closed[1], closed[0])
if not re.search(cell(*closed, "旗"), fresh_name(flagged)):
    sys.exit(f"FAIL: the flagged cell is named {fresh_name(flagged)!r}")
act(moves(closed, bomb) + ["space"], "shown", "^爆弾！ 爆発 1回目$", "an explosion")
pump(1.0)  # the explosion's four steps
status = act(["s"], "shown", r"^残り \d+マス、開いた \d+マス、爆弾 1回、時間 \d+秒$", "the status key")
left, opened = map(int, re.findall(r"\d+", status)[:2])
if left + opened != 70:
    sys.exit(f"FAIL: the status key reads {status!r}")

act(["ctrl+t"], "focus", "タイトル画面", "the title screen names itself")
act(["ctrl+p"], "focus", "", "the properties dialog")
pump(1.0)
radios = pyatspi.findAllDescendants(pyatspi.Registry.getDesktop(0),
                                    lambda o: o.getRole() == pyatspi.ROLE_RADIO_BUTTON)
checked = [fresh_name(r) for r in radios if r.getState().contains(pyatspi.STATE_CHECKED)]
if len(radios) != 3 or len(checked) != 1 or "初級" not in checked[0]:
    sys.exit(f"FAIL: radio buttons {[fresh_name(r) for r in radios]}, checked {checked}")
print("screen reader: every name and outcome heard")
