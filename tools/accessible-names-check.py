#!/usr/bin/python3
"""What a screen reader finds in the main window: every scroll bar and edit box has a name of
its own, and choosing another language renames them.

Run inside a private D-Bus session with DISPLAY set (tools/accessible-names-check.sh does both):
    accessible-names-check.py PELMORA_ALIGN
The program runs in its folder, whose UI.INI must offer a second language that renames "TV1".
"""
import os
import subprocess
import sys
import time

import pyatspi

EDIT_ROLES = {pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY}


def find_application(pid, timeout=20):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == pid and app.childCount > 0:
                return app
        time.sleep(0.2)
    sys.exit("the program never appeared on the accessibility bus")


def descendants(node):
    for child in node:
        if child is not None:
            yield child
            yield from descendants(child)


def names(app):
    """The names of the scroll bars and of the edit boxes, each in window order."""
    bars, edits = [], []
    for node in descendants(app):
        role = node.getRole()
        if role == pyatspi.ROLE_SCROLL_BAR:
            bars.append(node.name)
        elif role in EDIT_ROLES:
            edits.append(node.name)
    return bars, edits


def check_distinct(kind, found, count):
    if len(found) != count:
        sys.exit(f"{count} {kind} expected, {len(found)} found: {found}")
    if "" in found or len(set(found)) != count:
        sys.exit(f"{kind} without a name of their own: {sorted(found)}")


def choose_second_language(app):
    # A list that shows an entry is named by it, so the language list is the one offering
    # the second language. It is opened with a click, as a user would, and the next entry
    # taken with the keys.
    combo = next(n for n in descendants(app) if n.getRole() == pyatspi.ROLE_COMBO_BOX and
                 any(item.name == "Deutsch" for item in descendants(n)))
    box = combo.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2),
                    str(box.y + box.height // 2), "click", "1"], check=True)
    time.sleep(1)
    subprocess.run(["xdotool", "key", "Down", "Return"], check=True)


def main():
    exe = sys.argv[1]
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    program = subprocess.Popen([exe], env=env, cwd=os.path.dirname(exe))
    try:
        app = find_application(program.pid)
        # The window's widgets register after it is shown, the later ones the slower the
        # machine is.
        end = time.monotonic() + 20
        bars, edits = names(app)
        while (len(bars), len(edits)) != (22, 19) and time.monotonic() < end:
            time.sleep(0.2)
            bars, edits = names(app)
        check_distinct("scroll bars", bars, 22)
        check_distinct("edit boxes", edits, 19)
        if "TV1 Top Left X" not in bars or "Warp Ratio H" not in bars or "Loop Time" not in edits:
            sys.exit(f"unexpected names: {bars} {edits}")
        choose_second_language(app)
        end = time.monotonic() + 10
        while names(app)[0] == bars and time.monotonic() < end:
            time.sleep(0.2)
        renamed_bars, renamed_edits = names(app)
        check_distinct("scroll bars", renamed_bars, 22)
        check_distinct("edit boxes", renamed_edits, 19)
        if renamed_bars[0] == bars[0] or renamed_edits[0] == edits[0]:
            sys.exit(f"the language did not rename them: {renamed_bars[0]}, {renamed_edits[0]}")
        print(f"{len(bars)} scroll bars and {len(edits)} edit boxes named; "
              f"'{bars[0]}' became '{renamed_bars[0]}'")
    finally:
        program.terminate()
        program.wait(10)


if __name__ == "__main__":
    main()
