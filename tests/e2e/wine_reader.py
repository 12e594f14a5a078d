#!/usr/bin/python3
"""What a reader in another process reads of the Windows build under Wine (msaa_client.cpp's log)
while a level-1 game is played by keys: cells named as on Linux, with role, focus, place and hit
test; the child count; the outcomes; the properties dialog's buttons.
Usage: wine_reader.py <client log> <window id> <board row>...   ('1' for a bomb)"""
import re, subprocess, sys, time  # noqa: E401

import reader_names
from reader_names import moves

log, window, board = sys.argv[1], sys.argv[2], sys.argv[3:]
N = len(board)


def act(keys, kind, pattern, child=None, role=None):
    """Presses the keys and waits for a record of that kind, child and role whose name matches."""
    start = len(open(log, encoding="utf-8").readlines()) if keys else 0
    if keys:
        subprocess.run(["xdotool", "key", "--delay", "80", *keys], check=True)
    for _ in range(300):
        for r in [line.rstrip("\n").split("\t") for line in open(log, encoding="utf-8")][start:]:
            if r[0] == kind and re.search(pattern, r[-1]) and (child is None or r[1:3] == [str(child), str(role)]):
                return r
        time.sleep(0.1)
    sys.exit(f"FAIL: no {kind} of child {child}, role {role}, matching {pattern!r}; read "
             + "".join(open(log, encoding="utf-8").readlines()[start:]))


def cell(col, row):
    r = act(["Right"] if (col, row) == (0, 0) else ["Right", "Down"], "focus",
            reader_names.cell(board, col, row, "閉じたマス"), 1 + row * N + col, 0x1D)  # ROLE_SYSTEM_CELL
    g = dict(kv.split("=") for kv in subprocess.run(["xdotool", "getwindowgeometry", "--shell", window],
                                                    capture_output=True, text=True).stdout.split())
    top = int(g["Y"]) + int(g["HEIGHT"]) - int(g["WIDTH"])  # the menu bar over a square client
    place = f"{int(g['X']) + (5 + col) * 16},{top + (5 + row) * 16},16,16"
    # Focused, N * N + 1 children, at its place, hit at its centre, the cell below it below.
    if not int(r[3], 16) & 4 or r[4:8] != [str(N * N + 1), place, r[1], str(int(r[1]) + N)]:
        sys.exit(f"FAIL: cell {col}, {row} reads {r}; its place is {place}")


subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
act(["ctrl+n"], "focus", "^初級のゲーム", 0, 0x18)  # ROLE_SYSTEM_TABLE
cell(0, 0)
cell(1, 1)
safe, bomb, closed = reader_names.cells_to_play(board)
act(moves((1, 1), safe) + ["space"], "alert", "^開きました$", N * N + 1, 8)  # ROLE_SYSTEM_ALERT
act(moves(safe, closed) + ["f"], "alert", "^旗を立てました$", N * N + 1, 8)
act(moves(closed, bomb) + ["space"], "alert", "^爆弾！ 爆発 1回目$", N * N + 1, 8)
time.sleep(1.0)  # the explosion's four steps
act(["ctrl+t"], "focus", "タイトル画面", 0, 0x0A)  # ROLE_SYSTEM_CLIENT
act(["ctrl+p"], "control", "^初級の記録の消去$")
act([], "control", "^中級の記録の消去$")
act([], "control", "^上級の記録の消去$")
print("wine reader: every cell, outcome and button read")
