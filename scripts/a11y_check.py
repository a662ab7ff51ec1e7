#!/usr/bin/python3
"""Reads the running Kloxmere window through AT-SPI, as a screen reader does,
and fails when a control a user can reach has no readable name, or when one of
the main window's controls cannot be found by its caption. Then clicks another
unit in the list with the real mouse and reads the current unit's name from
the status bar."""
import subprocess
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


def find(node, wanted, depth=0):
    """The first node under `node` for which wanted(node) holds, or None."""
    if depth > 14:
        return None
    if wanted(node):
        return node
    for i in range(min(node.childCount, 400)):
        child = node.getChildAtIndex(i)
        if child is not None:
            found = find(child, wanted, depth + 1)
            if found is not None:
                return found
    return None


def status_names(application):
    status = find(application, lambda n: n.getRoleName() == "status bar")
    if status is None:
        return []
    return [status.getChildAtIndex(i).name for i in range(status.childCount)
            if status.getChildAtIndex(i) is not None]


def click_unit_and_read_status(application, unit):
    """Clicks the list row of `unit` and waits for the status bar to read it."""
    cell = find(application, lambda n: n.getRoleName() == "table cell" and n.name == unit)
    if cell is None:
        print(f"a11y-check: no list row {unit!r} to click")
        return False
    box = cell.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2),
                    str(box.y + box.height // 2), "click", "1"], check=True)
    for _ in range(50):
        if unit in status_names(application):
            return True
        time.sleep(0.1)
    print(f"a11y-check: after a click on {unit} the status bar reads {status_names(application)!r}")
    return False


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
    if not click_unit_and_read_status(application, "CORTANK"):
        return 1
    print(f"a11y-check: {len(found)} controls readable by name; the status bar reads the unit clicked")
    return 0


if __name__ == "__main__":
    sys.exit(main())
