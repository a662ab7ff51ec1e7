#!/usr/bin/python3
"""Reads the running Kloxmere window through AT-SPI, as a screen reader does,
and fails when a control a user can reach has no readable name, or when one of
the main window's controls cannot be found by its caption."""
import sys
import time

import pyatspi

# Roles that carry no caption of their own.
UNNAMED_ROLES = {"filler", "separator", "panel", "frame", "popup menu", "menu bar",
                 "table column header", "scroll bar", "viewport", "table cell", "label"}
EXPECTED = {
    ("tree", "Sides, classes and unit groups"), ("tree", "Units, conflicts and weapons"),
    ("page tab", "Units"), ("page tab", "Conflicts"), ("page tab", "Weapons"),
    ("page tab", "Available Weapons"), ("menu item", "Exit"), ("menu item", "Disable Unit"),
    ("push button", "Import Unit Schema"), ("check box", "View Cavedog units"),
    ("filler", "Splitter"), ("image", "Unit picture"), ("list", "Weapons"),
    ("status bar", "Status"), ("table column header", "Name"), ("table cell", "ARMBOLT"),
}


def find_application():
    """The program once its main window is up (the splash comes first)."""
    desktop = pyatspi.Registry.getDesktop(0)
    for _ in range(150):
        for application in desktop:
            if application is None or application.name != "Kloxmere":
                continue
            for i in range(application.childCount):
                window = application.getChildAtIndex(i)
                if window is not None and window.getRoleName() == "frame" and window.childCount:
                    time.sleep(0.5)
                    return application
        time.sleep(0.2)
    return None


def walk(node, found, unnamed, depth=0):
    if depth > 14:
        return
    role, name = node.getRoleName(), node.name
    found.add((role, name))
    if not name and role not in UNNAMED_ROLES:
        unnamed.append(role)
    children = node.childCount
    if role in ("tree", "table", "list"):
        children = min(children, 40)  # the visible rows are enough
    for i in range(children):
        child = node.getChildAtIndex(i)
        if child is not None:
            walk(child, found, unnamed, depth + 1)


def main():
    application = find_application()
    if application is None:
        print("a11y-check: the program did not appear on the accessibility bus")
        return 1
    found, unnamed = set(), []
    walk(application, found, unnamed)
    missing = sorted(EXPECTED - found)
    if missing or unnamed:
        for role, name in missing:
            print(f"a11y-check: no {role} named {name!r}")
        for role in unnamed:
            print(f"a11y-check: a {role} has no name")
        return 1
    print(f"a11y-check: {len(found)} controls readable by name")
    return 0


if __name__ == "__main__":
    sys.exit(main())
