"""What a screen reader should hear of a level-1 board, for the reader checks of each platform."""
import re


def runs(line):
    return " ".join(str(len(r)) for r in line.split("1") if r) or "なし"


def cell(board, col, row, state):
    """The name of cell (col, row) in that state, as a whole-line pattern."""
    column = "".join(line[col] for line in board)
    return f"^{row + 1}行 {col + 1}列 {state}、行のヒント {re.escape(runs(board[row]))}、列のヒント {re.escape(runs(column))}$"


def moves(frm, to):
    dc, dr = to[0] - frm[0], to[1] - frm[1]
    return ["Right"] * dc + ["Left"] * -dc + ["Down"] * dr + ["Up"] * -dr


def cells_to_play(board):
    """A safe cell, a bomb, and a closed safe cell to flag, none at (1, 1) where the play starts."""
    cells = [(c, r) for r in range(len(board)) for c in range(len(board))]
    safe = next(p for p in cells if board[p[1]][p[0]] == "0" and p != (1, 1))
    return safe, next(p for p in cells if board[p[1]][p[0]] == "1"), next(
        p for p in cells if p != safe and board[p[1]][p[0]] == "0")
