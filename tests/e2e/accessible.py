"""Reads the program's windows as a screen reader does, through the
accessibility bus (AT-SPI): a private D-Bus session and bus launcher for the
test's display, the program found by its process id, its windows, tables,
labels and status bar, and its menus pressed.

Debian's python3-gi lives in Debian's own interpreter: when the one running
lacks it, `ensure_interpreter` runs the script again with /usr/bin/python3.
"""
import os
import re
import shutil
import subprocess
import sys

from decoder_desktop import poll

LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
SYSTEM_PYTHON = "/usr/bin/python3"
_PROBE = "import gi; gi.require_version('Atspi', '2.0'); from gi.repository import Atspi"


def _has_atspi(python):
    return subprocess.run([python, "-c", _PROBE], capture_output=True).returncode == 0


def missing_reason():
    """Why the window cannot be read here, or None."""
    for program in ("dbus-daemon", "import"):
        if not shutil.which(program):
            return "%s not installed (scripts/install-deps installs it)" % program
    if not os.access(LAUNCHER, os.X_OK):
        return "at-spi2-core not installed (scripts/install-deps installs it)"
    if not _has_atspi(sys.executable):
        return "python3-gi and gir1.2-atspi-2.0 not installed for %s" % sys.executable
    return None


def ensure_interpreter():
    """Runs the script again under Debian's python3 when only it has AT-SPI."""
    if not _has_atspi(sys.executable) and os.path.realpath(sys.executable) != \
            os.path.realpath(SYSTEM_PYTHON) and os.access(SYSTEM_PYTHON, os.X_OK) and \
            _has_atspi(SYSTEM_PYTHON):
        os.execv(SYSTEM_PYTHON, [SYSTEM_PYTHON] + sys.argv)


class Bus:
    """A private session bus with the accessibility bus for `display`; the
    environment a program needs to be read (Qt only speaks when asked)."""

    def __init__(self, display, work):
        self.dbus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                                      "--print-address=1"], stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, start_new_session=True)
        self.address = self.dbus.stdout.readline().decode().strip()
        if not self.address:
            raise RuntimeError("dbus-daemon gave no address")
        self.env = {"DBUS_SESSION_BUS_ADDRESS": self.address,
                    "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"}
        launcher_env = {"PATH": "/usr/bin:/bin", "HOME": work + "/home", "DISPLAY": display,
                        "XDG_RUNTIME_DIR": work + "/runtime", **self.env}
        self.launcher = subprocess.Popen([LAUNCHER, "--launch-immediately"], env=launcher_env,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                         start_new_session=True)
        # The reader in this process talks to the same buses.
        os.environ.update(launcher_env)
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi
        self.Atspi = Atspi

    def close(self):
        for p in (self.launcher, self.dbus):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()


def _tolerant(predicate):
    def run():
        try:
            return predicate()
        except Exception:  # the tree changes under the reader's feet
            return None
    return run


def wait_for(predicate, timeout, step=0.2):
    """As decoder_desktop.poll, the accessibility bus's passing errors read as "not yet"."""
    return poll(_tolerant(predicate), timeout, step)


class Program:
    """One process's windows on the accessibility bus."""

    def __init__(self, bus, pid):
        self.Atspi = bus.Atspi
        self.pid = pid
        self._app = None

    def app(self, timeout=30):
        if self._app is None:
            def find():
                desktop = self.Atspi.get_desktop(0)
                for i in range(desktop.get_child_count()):
                    a = desktop.get_child_at_index(i)
                    if a is not None and a.get_process_id() == self.pid:
                        return a
            self._app = wait_for(find, timeout)
        return self._app

    def showing(self, a):
        st = a.get_state_set()
        if not st.contains(self.Atspi.StateType.SHOWING):
            return False
        e = a.get_extents(self.Atspi.CoordType.SCREEN)
        return e.width > 0 and e.height > 0

    def window(self, title_regex, timeout=20):
        def find():
            app = self.app()
            for i in range(app.get_child_count()):
                w = app.get_child_at_index(i)
                if w is not None and re.search(title_regex, w.get_name() or "") and \
                        self.showing(w):
                    return w
        return wait_for(find, timeout)

    def extents(self, a):
        e = a.get_extents(self.Atspi.CoordType.SCREEN)
        return e.x, e.y, e.width, e.height

    def descendants(self, a, limit=300):
        """Every descendant, in order; a node with more children than the
        limit (a long list) is not entered."""
        out = []

        def walk(x):
            n = x.get_child_count()
            if n > limit:
                return
            for i in range(n):
                k = x.get_child_at_index(i)
                if k is not None:
                    out.append(k)
                    walk(k)
        walk(a)
        return out

    def find(self, a, role, name=None):
        for d in self.descendants(a):
            if d.get_role_name() == role and (name is None or d.get_name() == name):
                return d
        return None

    def table_rows(self, table):
        """The table's rows, each the list of its cells' texts."""
        T = self.Atspi.Table
        return [[T.get_accessible_at(table, r, c).get_name() or ""
                 for c in range(T.get_n_columns(table))] for r in range(T.get_n_rows(table))]

    def cell(self, table, row, column):
        return self.Atspi.Table.get_accessible_at(table, row, column)

    def status_message(self, window):
        bar = self.find(window, "status bar")
        return (bar.get_name() or "") if bar is not None else ""

    def press(self, a):
        """The control's first action (a menu item's "Toggle"/"Press")."""
        return self.Atspi.Action.do_action(a, 0)

    def menu(self, window, top, item):
        """The menu `top` opened, then its `item` pressed."""
        menu = self.find(window, "menu item", top) or self.find(window, "menu", top)
        if menu is None:
            return False
        self.press(menu)
        entry = wait_for(lambda: next((d for d in self.descendants(menu)
                                       if d.get_name() == item), None), 5)
        if entry is None:
            return False
        try:
            self.press(entry)
        except Exception:  # an item that ends the program may not answer
            pass
        return True
