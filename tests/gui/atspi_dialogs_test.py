#!/usr/bin/env python3
"""The dialogs of the Help, Tools and Preferences menus, opened through AT-SPI as a screen reader opens them.

    atspi_dialogs_test.py --velmor PATH --product FILE.tdb

Runs the program on its own Xvfb display and D-Bus session (the helpers of atspi_window_test.py) and checks
that every entry's accessibility action answers at once and its dialog is up, with its title, within 2 seconds;
then drives "Check for Updates" against a real HTTP server on 127.0.0.1 that offers 2.2, and again with that
server stopped, and reads the named result label each time. "Manual" and "What's New" go to the desktop's
xdg-open, here a script that records what it was asked to open (and finds nothing to open a PDF with).
Exit code 77 (skipped) only when no D-Bus session or accessibility bus can be started.
"""
import argparse
import http.server
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from atspi_window_test import Screen, accessibility_bus_or_skip, fail, run_inside_session, stop  # noqa: E402

ANSWER_SECONDS = int(os.environ.get("VELMOR_ANSWER_SECONDS", "2"))
PAGE = b"<html><body>2.2</body></html>"
FAKE_XDG_OPEN = """#!/bin/sh
printf '%s\\n' "$1" >> "$VELMOR_TEST_OPENED"
case "$1" in *.pdf) exit 3 ;; esac
exit 0
"""

# Menu path, the dialog's title, the button that closes it.
DIALOGS = [
    (("Preferences", "Locate Programs"), "Settings", "Cancel"),
    (("Preferences", "Settings"), "Settings", "Cancel"),
    (("Tools", "Get tdb from Mapsource"), "TDBs in Mapsource/Basecamp", "Close"),
    (("Tools", "Check Product"), "Check Product", "Close"),
    (("Tools", "Create Mapsource Files", "Create All"), "Create TDB Files", "Close"),
    (("Tools", "Create Mapsource Files", "Create Basemap"), "Save File", "Cancel"),
    (("Tools", "Create Mapsource Files", "Create mdx"), "Save File", "Cancel"),
    # No program opens a PDF here: the message says so in a box of its own.
    (("Help", "Manual"), "Velmor", "OK"),
    (("Help", "Check for Updates"), "Updates", "Close"),
    (("Help", "About"), "Information", "OK"),
]
DIALOG_ROLES = ("dialog", "alert", "file chooser", "frame", "window")


def run_outer(args):
    return run_inside_session(os.path.abspath(__file__), ["--velmor", args.velmor, "--product", args.product],
                              args.timeout)


class VersionPage(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(PAGE)))
        self.end_headers()
        self.wfile.write(PAGE)

    def log_message(self, *args):
        pass


class Program:
    """The program on the accessibility bus and the ways a screen reader reaches into it."""

    def __init__(self, screen, process, app):
        self.screen = screen
        self.process = process
        self.app = app
        self.frame = screen.wait("the main window", lambda: screen.find(app, ("frame",)))
        self.bar = screen.find(self.frame, ("menu bar",))
        if self.bar is None:
            fail("no menu bar")

    def entry(self, path):
        node = self.bar
        for caption in path:
            found = self.screen.find(node, ("menu item", "menu"), caption)
            if found is None:
                fail("no entry %r on the way to %s" % (caption, " > ".join(path)))
            node = found
        return node

    def choose(self, path):
        """Presses the entry's action and fails unless the call answered within the limit."""
        entry = self.entry(path)
        started = time.monotonic()
        self.screen.press(entry)
        answered = time.monotonic() - started
        if answered > ANSWER_SECONDS:
            fail("%s: the accessibility action took %.1f s to answer" % (" > ".join(path), answered))
        return started

    def window(self, title):
        """The program's top-level window with this title that is showing, or None."""
        try:
            count = self.app.get_child_count()
        except Exception:
            return None
        for k in range(count):
            child = self.app.get_child_at_index(k)
            try:
                if child is not None and child.get_role_name() in DIALOG_ROLES and child.get_name() == title \
                        and child != self.frame and self.screen.showing(child):
                    return child
            except Exception:
                continue
        return None

    def dialog(self, path, title, started):
        deadline = started + ANSWER_SECONDS
        while time.monotonic() < deadline:
            found = self.window(title)
            if found is not None:
                return found
            time.sleep(0.05)
        fail("%s: no window titled %r within %d s (showing: %s)" % (" > ".join(path), title, ANSWER_SECONDS,
                                                                    ", ".join(self.shown())))

    def shown(self):
        names = []
        for k in range(self.app.get_child_count()):
            child = self.app.get_child_at_index(k)
            try:
                if child is not None and self.screen.showing(child):
                    names.append("%s %r" % (child.get_role_name(), child.get_name()))
            except Exception:
                continue
        return names

    def close(self, dialog, title, button_name):
        # A window full of items (the folder tree) may still be filling its accessible children.
        button = self.screen.wait("the %r button of the %r window" % (button_name, title),
                                  lambda: self.screen.find(dialog, ("push button",), button_name), 20)
        self.screen.press(button)
        self.screen.wait("the %r window to close" % title, lambda: self.window(title) is None, 20)


def result_label(screen, dialog, beginning):
    return screen.find_where(dialog, lambda node: node.get_role_name() == "label" and
                             (node.get_name() or "").startswith(beginning), fresh=True)


def check_for_updates(program, expected):
    screen = program.screen
    path = ("Help", "Check for Updates")
    dialog = program.dialog(path, "Updates", program.choose(path))
    link = screen.find(dialog, ("push button",), "Click here to check website")
    if link is None:
        fail("the Updates window has no \"Click here to check website\"")
    screen.press(link)
    label = screen.wait("a label beginning %r" % expected, lambda: result_label(screen, dialog, expected), 20)
    print("result: %r" % label.get_name(), flush=True)
    program.close(dialog, "Updates", "Close")
    return label.get_name()


def run_inner(args):
    with open(args.marker, "w"):
        pass
    Atspi = accessibility_bus_or_skip()
    screen = Screen(Atspi)
    home = tempfile.mkdtemp(prefix="velmor-atspi-home-")
    product = os.path.join(home, os.path.basename(args.product))
    shutil.copyfile(args.product, product)
    tools = os.path.join(home, "bin")
    os.mkdir(tools)
    with open(os.path.join(tools, "xdg-open"), "w") as script:
        script.write(FAKE_XDG_OPEN)
    os.chmod(os.path.join(tools, "xdg-open"), 0o755)
    opened = os.path.join(home, "opened.txt")

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), VersionPage)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    address = "http://127.0.0.1:%d" % server.server_address[1]
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
               VELMOR_HOME=home, VELMOR_VERSION_URL=address + "/version.html",
               VELMOR_MANUAL_URL=address + "/manual.pdf", VELMOR_TEST_OPENED=opened,
               PATH=tools + os.pathsep + os.environ.get("PATH", ""))
    env.setdefault("ASAN_OPTIONS", "detect_leaks=0")
    process = subprocess.Popen([args.velmor, product], env=env)
    try:
        app = screen.wait("the program on the accessibility bus", lambda: screen.application(process.pid),
                          program=process)
        program = Program(screen, process, app)

        for path, title, button in DIALOGS:
            dialog = program.dialog(path, title, program.choose(path))
            print("%s: %r" % (" > ".join(path), dialog.get_name()), flush=True)
            program.close(dialog, title, button)

        # "What's New" opens the release notes in the program folder; nothing is asked.
        program.choose(("Help", "What's New"))
        notes = os.path.join(home, "system", "whatsnew.txt")
        screen.wait("the release notes handed to xdg-open",
                    lambda: os.path.exists(opened) and notes in open(opened).read().split("\n"), ANSWER_SECONDS)

        check_for_updates(program, "An update is available: 2.2")
        server.shutdown()
        server.server_close()
        check_for_updates(program, "Could not check for updates")

        if process.poll() is not None:
            fail("the program ended (exit code %d)" % process.returncode)
        print("PASS: the Help, Tools and Preferences dialogs checked answered through AT-SPI", flush=True)
        return 0
    finally:
        stop(process)
        shutil.rmtree(home, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--velmor", required=True)
    parser.add_argument("--product", required=True)
    parser.add_argument("--timeout", type=int, default=240)
    parser.add_argument("--inner", action="store_true")
    parser.add_argument("--marker")
    args = parser.parse_args()
    sys.exit(run_inner(args) if args.inner else run_outer(args))


if __name__ == "__main__":
    main()
