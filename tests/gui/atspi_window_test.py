#!/usr/bin/env python3
"""The real velmor window, driven from outside through AT-SPI as a screen reader drives it.

    atspi_window_test.py --velmor PATH --cli PATH --product FILE.tdb --pid 2 --fid 300

Runs the program on its own Xvfb display and D-Bus session with Qt's accessibility bridge on and
checks: the frame is named after the program, the menu bar reads File/Preferences/Tools/Logs/Help,
the "FID" and "PID" boxes are found by name and hold the product's ids, the "Toggle" action of the
"DEM" check box marks the product modified (the title gains "+") and the save that the close offers
writes the new DEM state, "More Options" pressed through its accessible action shows the panel, and
File, Exit closes the program cleanly.
Exit code 77 (skipped) only when no D-Bus session or accessibility bus can be started.
"""
import argparse
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
MENUS = ["File", "Preferences", "Tools", "Logs", "Help"]


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def skip(message):
    print("SKIP: " + message, flush=True)
    sys.exit(SKIP)


def start_display():
    """Xvfb on a free display number it picks itself (no race with other tests doing the same)."""
    read_end, write_end = os.pipe()
    # -noreset: the accessibility bus launcher connects and leaves before the program comes; without
    # it the server would reset at that moment and refuse the program's connection.
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1400x900x24", "-nolisten", "tcp",
                               "-noreset"],
                              pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              start_new_session=True)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + 30
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        if not select.select([read_end], [], [], max(0.0, deadline - time.monotonic()))[0]:
            break
        chunk = os.read(read_end, 16)
        if not chunk:
            break
        number += chunk
    os.close(read_end)
    if not number.strip().isdigit():
        server.kill()
        server.wait()
        fail("Xvfb did not start")
    return server, ":" + number.strip().decode()


def run_outer(args):
    return run_inside_session(os.path.abspath(__file__), ["--velmor", args.velmor, "--cli", args.cli, "--product",
                                                          args.product, "--pid", args.pid, "--fid", args.fid],
                              args.timeout)


def run_inside_session(script, arguments, timeout):
    """Runs `script --inner ... arguments` on its own Xvfb display inside a D-Bus session of its own."""
    for tool in ("Xvfb", "dbus-run-session"):
        if not shutil.which(tool):
            fail(tool + " is missing (scripts/setup.sh installs it)")
    marker = tempfile.NamedTemporaryFile(prefix="velmor-atspi-", delete=False)
    marker.close()
    os.unlink(marker.name)
    server, display = start_display()
    command = ["dbus-run-session", "--", sys.executable, script, "--inner", "--marker", marker.name] + arguments
    env = dict(os.environ, DISPLAY=display)
    env.pop("XAUTHORITY", None)
    try:
        # A process group of its own, so a time-out takes down the bus and the program with it.
        child = subprocess.Popen(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                                 start_new_session=True)
        try:
            output, _ = child.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(child.pid, signal.SIGKILL)
            output, _ = child.communicate()
            print(output)
            fail("no result within %d s" % timeout)
    finally:
        stop(server)
    print(output, end="")
    inner_ran = os.path.exists(marker.name)
    if inner_ran:
        os.unlink(marker.name)
    if not inner_ran:
        skip("the D-Bus session could not be started")
    return child.returncode


# ---------------------------------------------------------------------------------------------
# Inside: the program on the display, read and driven through the accessibility bus.

def accessibility_bus_or_skip():
    try:
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi, Gio, GLib
    except (ImportError, ValueError) as error:
        fail("the AT-SPI bindings are missing (gir1.2-atspi-2.0, python3-gi): %s" % error)
    try:
        bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
        bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
                      GLib.VariantType.new("(s)"), Gio.DBusCallFlags.NONE, 10000, None)
    except GLib.Error as error:
        skip("the accessibility bus could not be started: %s" % error.message)
    return Atspi


class Screen:
    """The AT-SPI desktop as a screen reader sees it."""

    def __init__(self, Atspi):
        self.Atspi = Atspi

    def wait(self, what, probe, seconds=60, program=None):  # ASan builds start slowly
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if program is not None and program.poll() is not None:
                fail("the program ended (exit code %d) before %s was found" % (program.returncode, what))
            found = probe()
            if found:
                return found
            time.sleep(0.25)
        fail("timed out waiting for " + what)

    def application(self, pid):
        desktop = self.Atspi.get_desktop(0)
        for k in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(k)
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except Exception:  # an application leaving the bus meanwhile
                continue
        return None

    def find(self, root, role_names, name=None):
        """The first accessible below root with one of the role names (and the name, if given)."""
        return self.find_where(root, lambda node: node.get_role_name() in role_names and
                               (name is None or node.get_name() == name))

    def find_where(self, root, probe, fresh=False, depth=0):
        """The first accessible below root for which probe holds; `fresh` reads each one anew, not cached."""
        if root is None or depth > 12:
            return None
        try:
            if fresh:
                root.clear_cache()
            if probe(root):
                return root
            count = root.get_child_count()
        except Exception:
            return None
        for k in range(count):
            hit = self.find_where(root.get_child_at_index(k), probe, fresh, depth + 1)
            if hit is not None:
                return hit
        return None

    def showing(self, accessible):
        accessible.clear_cache()
        return accessible.get_state_set().contains(self.Atspi.StateType.SHOWING)

    def text(self, accessible):
        return self.Atspi.Text.get_text(accessible, 0, -1)

    def press(self, accessible):
        actions = self.Atspi.Action.get_n_actions(accessible)
        if actions < 1:
            fail("%r offers no action" % accessible.get_name())
        self.Atspi.Action.do_action(accessible, 0)

    def do_named_action(self, accessible, action):
        names = [self.Atspi.Action.get_action_name(accessible, k)
                 for k in range(self.Atspi.Action.get_n_actions(accessible))]
        if action not in names:
            fail("%r offers no %r action, only %r" % (accessible.get_name(), action, names))
        self.Atspi.Action.do_action(accessible, names.index(action))

    def checked(self, accessible):
        accessible.clear_cache()
        return accessible.get_state_set().contains(self.Atspi.StateType.CHECKED)

    def showing_button(self, app, name):
        """A push button of that name on a window now showing (a message box's answer)."""
        button = self.find(app, ("push button",), name)
        return button if button is not None and self.showing(button) else None


def dem_capability(cli, product):
    """The DEM byte of the product file as the command line reads it."""
    report = subprocess.run([cli, "report", product], capture_output=True, text=True, timeout=60)
    for line in report.stdout.splitlines():
        if line.startswith("DEM capability:"):
            return line.split(":", 1)[1].strip()
    fail("no DEM line in the report of %s: %r" % (product, report.stdout + report.stderr))


TEXT_ROLES = ("text", "entry", "password text")


def run_inner(args):
    with open(args.marker, "w"):
        pass
    Atspi = accessibility_bus_or_skip()
    screen = Screen(Atspi)
    home = tempfile.mkdtemp(prefix="velmor-atspi-home-")
    product = os.path.join(home, os.path.basename(args.product))
    shutil.copyfile(args.product, product)
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
               VELMOR_HOME=home)
    env.setdefault("ASAN_OPTIONS", "detect_leaks=0")
    program = subprocess.Popen([args.velmor, product], env=env)
    try:
        app = screen.wait("the program on the accessibility bus", lambda: screen.application(program.pid),
                          program=program)
        print("found application %r" % app.get_name(), flush=True)

        frame = screen.wait("the main window", lambda: screen.find(app, ("frame",)))
        if "Velmor" not in frame.get_name():
            fail("the main window is named %r, not after the program" % frame.get_name())

        bar = screen.find(frame, ("menu bar",))
        if bar is None:
            fail("no menu bar")
        menus = [bar.get_child_at_index(k).get_name() for k in range(bar.get_child_count())]
        if menus != MENUS:
            fail("the menu bar reads %r, not %r" % (menus, MENUS))

        for name, expected in (("FID", args.fid), ("PID", args.pid)):
            box = screen.find(frame, TEXT_ROLES, name)
            if box is None:
                fail("no text box named %r" % name)
            if screen.text(box) != expected:
                fail("the %s box holds %r, not %r" % (name, screen.text(box), expected))

        # The screen reader's "Toggle" is a change like a click: the rule runs and the title gains "+".
        before = dem_capability(args.cli, product)
        dem = screen.find(frame, ("check box",), "DEM")
        if dem is None:
            fail("no \"DEM\" check box")
        was_checked = screen.checked(dem)
        if frame.get_name().endswith("+"):
            fail("the product shows modified before any edit: %r" % frame.get_name())
        screen.do_named_action(dem, "Toggle")
        screen.wait("the DEM box to change", lambda: screen.checked(dem) != was_checked, 20)
        frame.clear_cache()
        screen.wait("the title to gain \"+\" after Toggle", lambda: frame.get_name().endswith("+"), 20)

        more = screen.find(frame, ("push button",), "More Options")
        override = screen.find(frame, ("check box",), "Override settings")
        if more is None or override is None:
            fail("no \"More Options\" button or \"Override settings\" box")
        if screen.showing(override):
            fail("the More Options panel shows before it was asked for")
        screen.press(more)
        screen.wait("the More Options panel", lambda: screen.showing(override) and not screen.showing(more), 20)

        file_menu = screen.find(bar, ("menu item", "menu"), "File")
        exit_entry = screen.find(file_menu, ("menu item",), "Exit")
        if exit_entry is None:
            fail("no \"Exit\" entry in the File menu")
        try:
            screen.press(exit_entry)
        except Exception as error:  # the question opens inside the action, which then answers late
            print("Exit answered late: %s" % error, flush=True)
        # "Save changes?": Yes; then the one-time backup is told, OK.
        screen.press(screen.wait("the \"Save changes?\" question", lambda: screen.showing_button(app, "Yes"), 30,
                                 program=program))
        screen.press(screen.wait("the backup message", lambda: screen.showing_button(app, "OK"), 30, program=program))
        try:
            code = program.wait(timeout=30)
        except subprocess.TimeoutExpired:
            fail("File, Exit did not close the program")
        if code != 0:
            fail("the program ended with exit code %d" % code)
        # The settings written at the close remember the open panel (line 19).
        with open(os.path.join(home, "system", "velmor.dat"), newline="") as settings:
            lines = settings.read().split("\r\n")
        if len(lines) < 20 or lines[19] != "1":
            fail("the settings file does not record the open More Options panel")
        after = dem_capability(args.cli, product)
        if after == before or after != ("0" if was_checked else "1"):
            fail("the saved DEM byte is %r (it was %r, the box went from %s): the Toggle was not recorded"
                 % (after, before, "on to off" if was_checked else "off to on"))
        print("PASS: frame, menus, FID/PID, DEM Toggle saved, More Options and Exit through AT-SPI", flush=True)
        return 0
    finally:
        stop(program)
        shutil.rmtree(home, ignore_errors=True)


def stop(process):
    """Ends the program if it still runs: asked first, then killed."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--velmor", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--product", required=True)
    parser.add_argument("--pid", required=True)
    parser.add_argument("--fid", required=True)
    parser.add_argument("--timeout", type=int, default=180)
    parser.add_argument("--inner", action="store_true")
    parser.add_argument("--marker")
    args = parser.parse_args()
    sys.exit(run_inner(args) if args.inner else run_outer(args))


if __name__ == "__main__":
    main()
