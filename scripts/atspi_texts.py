#!/usr/bin/python3
"""Prints what a screen reader can read of a running program, through the accessibility
bus: one line per object of its windows, holding its role, name, description and whether
it shows on the screen ("showing" or "hidden"), separated by tabs.

    atspi_texts.py PROGRAM_NAME
"""
import sys

import pyatspi


def walk(node, depth=0):
    if node is None or depth > 50:
        return
    try:
        showing = node.getState().contains(pyatspi.STATE_SHOWING)
        line = "\t".join((node.getRoleName(), node.name or "", node.description or "",
                          "showing" if showing else "hidden"))
        count = node.childCount
    except Exception:  # the object went while it was read
        return
    print(line.replace("\n", " "))
    for index in range(count):
        walk(node.getChildAtIndex(index), depth + 1)


def main():
    desktop = pyatspi.Registry.getDesktop(0)
    for application in desktop:
        if application is not None and application.name == sys.argv[1]:
            walk(application)
            return 0
    print("no program named %s on the accessibility bus" % sys.argv[1], file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
