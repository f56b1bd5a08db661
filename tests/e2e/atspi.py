# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads and drives the running program through the accessibility bus.

  atspi.py tabs                 the tab captions, one a line
  atspi.py text NAME            the text of the text box whose accessible name is NAME
  atspi.py has ROLE NAME        exit 0 when a visible object of that role (* any) and name exists
  atspi.py click NAME           does the first action of the visible object named NAME
  atspi.py select-tab INDEX     selects a tab of the tab control
  atspi.py center NAME          screen coordinates of the middle of the visible object named NAME
  atspi.py count ROLE NAME      how many visible objects of that role and name there are
  atspi.py click-nth NAME N     does the first action of the N-th (from 0) visible object named NAME
  atspi.py labels               the texts of the visible labels, one a line
"""
import sys

import pyatspi


def app():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        a = desktop.getChildAtIndex(i)
        if a is not None and (a.name or "").lower() == "pripomin":
            return a
    sys.exit(3)


def walk(acc, depth=0):
    if acc is None or depth > 30:
        return
    yield acc
    for i in range(acc.childCount):
        yield from walk(acc.getChildAtIndex(i), depth + 1)


def showing(acc):
    return acc.getState().contains(pyatspi.STATE_SHOWING)


def main(argv):
    cmd = argv[1]
    root = app()
    if cmd == "tabs":
        for acc in walk(root):
            if acc.getRoleName() == "page tab":
                print(acc.name)
        return 0
    if cmd == "text":
        for acc in walk(root):
            if acc.name == argv[2] and acc.getRoleName() in ("text", "paragraph", "label"):
                t = acc.queryText()
                print(t.getText(0, t.characterCount))
                return 0
        return 1
    if cmd == "has":
        for acc in walk(root):
            if argv[2] in ("*", acc.getRoleName()) and acc.name == argv[3] and showing(acc):
                return 0
        return 1
    if cmd == "click":
        for acc in walk(root):
            if acc.name == argv[2] and showing(acc):
                acc.queryAction().doAction(0)
                return 0
        return 1
    if cmd == "center":
        for acc in walk(root):
            if acc.name == argv[2] and showing(acc):
                e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                print(e.x + e.width // 2, e.y + e.height // 2)
                return 0
        return 1
    if cmd == "count":
        print(sum(1 for acc in walk(root) if acc.getRoleName() == argv[2] and acc.name == argv[3] and showing(acc)))
        return 0
    if cmd == "click-nth":
        found = [acc for acc in walk(root) if acc.name == argv[2] and showing(acc)]
        n = int(argv[3])
        if n >= len(found):
            return 1
        found[n].queryAction().doAction(0)
        return 0
    if cmd == "labels":
        for acc in walk(root):
            if acc.getRoleName() == "label" and showing(acc):
                print(acc.name)
        return 0
    if cmd == "select-tab":
        tabs = [acc for acc in walk(root) if acc.getRoleName() == "page tab"]
        tab = tabs[int(argv[2])]
        action = tab.queryAction()
        if action.nActions > 0:
            action.doAction(0)
        else:
            e = tab.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            print(e.x + e.width // 2, e.y + e.height // 2)
        return 0
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
