"""The README, CONTRIBUTING.md and docs/*.md stay true to the tree: every relative link reaches a
file that exists (and a heading there, when it names one), and every `make TARGET` they name is a
target of the Makefile.
usage: check_links.py <source folder>"""
import glob
import os
import re
import sys

root = sys.argv[1]


def prose(text):
    """The lines outside fenced code blocks."""
    fenced = False
    for line in text.splitlines():
        if line.startswith("```"):
            fenced = not fenced
        elif not fenced:
            yield line


def anchors(path):
    # Headings as GitHub names them: lower case, punctuation dropped, spaces as hyphens.
    with open(path, encoding="utf-8") as f:
        return {re.sub(r"[^\w\- ]", "", line.lstrip("#").strip().lower()).replace(" ", "-")
                for line in prose(f.read()) if re.match(r"#{1,6} ", line)}


with open(os.path.join(root, "Makefile"), encoding="utf-8") as f:
    targets = {t for line in f for t in re.findall(r"[\w-]+", line.split(":")[0])
               if re.match(r"[\w][\w -]*:(?!=)", line)}

pages = [os.path.join(root, "README.md"), os.path.join(root, "CONTRIBUTING.md")]
pages += sorted(glob.glob(os.path.join(root, "docs", "*.md")))
faults = []
for page in pages:
    with open(page, encoding="utf-8") as f:
        text = f.read()
    name = os.path.relpath(page, root)
    for link in re.findall(r"\]\(([^)\s]+)\)", "\n".join(prose(text))):
        if re.match(r"[a-z]+:", link):
            continue
        path, _, anchor = link.partition("#")
        target = os.path.normpath(os.path.join(os.path.dirname(page), path)) if path else page
        if not os.path.exists(target):
            faults.append(f"{name}: {link}: no such file")
        elif anchor and target.endswith(".md") and anchor not in anchors(target):
            faults.append(f"{name}: {link}: no such heading")
    named = re.findall(r"`make ([\w-]+)[^`]*`", text) + re.findall(r"^\s*make ([\w-]+)", text, re.M)
    faults += [f"{name}: make {t}: no such target in the Makefile" for t in named if t not in targets]

print("\n".join(faults) or f"{len(pages)} pages: every link and make target found")
sys.exit(1 if faults else 0)
