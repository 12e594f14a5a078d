"""Finds things on a screenshot where no window can be asked where it is (a Wayland compositor's
output in Xvfb): where a sprite of the sheet lies twice side by side, and where two shots differ.

usage: screen_find.py sprite <shot.ppm> <sheet.ppm> <sx> <sy> <factor>
           the top-left device pixel of the first (top-most, then left-most) place where the
           16 x 16 sprite at (sx, sy), each pixel a factor x factor block, stands twice in a row
       screen_find.py changed <before.ppm> <after.ppm> [x y w h]...
           the box (left top right bottom, inclusive) of the pixels that differ, but for those of
           the rectangles given (an animation, a title bar that turns inactive)"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from ppm import read_ppm  # noqa: E402


def sprite_rows(sheet, sx, sy, factor):
    width, _, pixels = sheet
    rows = []
    for y in range(16):
        start = 3 * (width * (sy + y) + sx)
        row = b"".join(pixels[start + 3 * x: start + 3 * x + 3] * factor for x in range(16))
        rows += [row] * factor
    return rows


def find_sprite(shot, rows):
    width, height, pixels = shot
    side = len(rows)
    stride = 3 * width

    def at(x, y):
        return all(pixels[(y + i) * stride + 3 * x: (y + i) * stride + 3 * x + len(r)] == r
                   for i, r in enumerate(rows))

    for y in range(height - side + 1):
        line = pixels[y * stride: (y + 1) * stride]
        start = line.find(rows[0])
        while start >= 0:
            if start % 3 == 0:
                x = start // 3
                if x + 2 * side <= width and at(x, y) and at(x + side, y):
                    return x, y
            start = line.find(rows[0], start + 1)
    return None


def changed(a, b, skips=()):
    width, height, before = a
    _, _, after = b
    stride = 3 * width
    box = None
    for y in range(height):
        if before[y * stride: (y + 1) * stride] == after[y * stride: (y + 1) * stride]:
            continue
        skipped = [range(s[0], s[0] + s[2]) for s in skips if s[1] <= y < s[1] + s[3]]
        xs = [x for x in range(width) if not any(x in r for r in skipped) and
              before[y * stride + 3 * x: y * stride + 3 * x + 3] != after[y * stride + 3 * x: y * stride + 3 * x + 3]]
        if not xs:
            continue
        if box is None:
            box = [xs[0], y, xs[-1], y]
        box = [min(box[0], xs[0]), box[1], max(box[2], xs[-1]), y]
    return box


def main(args):
    if len(args) == 6 and args[0] == "sprite":
        found = find_sprite(read_ppm(args[1]),
                            sprite_rows(read_ppm(args[2]), int(args[3]), int(args[4]), int(args[5])))
    elif len(args) >= 3 and len(args) % 4 == 3 and args[0] == "changed":
        numbers = [int(v) for v in args[3:]]
        found = changed(read_ppm(args[1]), read_ppm(args[2]),
                        [numbers[i:i + 4] for i in range(0, len(numbers), 4)])
    else:
        sys.exit(__doc__)
    if not found:
        return 1
    print(*found)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
