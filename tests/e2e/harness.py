"""A small harness that drives the real program under Xvfb with xdotool.

One Session is one journey: its own temporary folder (a copy of the program directory, a HOME
and XDG folders, a work folder for the pages), its own X server on a free display, and the
program started from the copy. Everything it starts it stops again by PID, on success, failure,
timeout or a signal. Judgement is by file bytes, window titles and window existence; a
screenshot, the window list and the program's output go to the failure log only.

Standard library only, plus the programs Xvfb, xdotool, xmodmap, xprop and (for screenshots,
optional) ImageMagick's import.
"""

import ctypes
import os
import re
import resource
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# What the program directory holds; the build folder also holds test and benchmark executables,
# which a journey does not need.
PROGRAM_DIR_ENTRIES = ("scrivlet", "UNKANJ.DLL", "HTML", "Template", "doc")

# The title of the box in which the converter says another process is converting.
BUSY_TITLE = "エラー"

# The capabilities that let root read a file whatever its mode bits.
DAC_CAPS = "-dac_override,-dac_read_search"


def _die_with_parent():
    """In a child before exec: SIGTERM when the journey's process dies, however it dies (a
    SIGKILL from a runner included), so that no X server or program outlives it."""
    try:
        ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG
    except (OSError, AttributeError):
        pass


def _prepare_child(file_size_limit=None):
    """In a child before exec: ends with the journey, and writes no file past the limit."""
    _die_with_parent()
    if file_size_limit is not None:
        resource.setrlimit(resource.RLIMIT_FSIZE, (file_size_limit, file_size_limit))


def _alive(pid):
    """Whether pid still runs (a zombie of somebody else's counts as ended)."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except (OSError, IndexError):
        return False


class JourneyFailed(AssertionError):
    pass


class ConverterBusy(JourneyFailed):
    """The converter said another process was converting at that moment (a box titled
    "エラー"): a collision with a process outside this suite, not a fault of the journey."""


def wait_for(predicate, timeout, interval=0.05):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            return value
        time.sleep(interval)


class Window:
    def __init__(self, wid, name, kind):
        self.id = wid
        self.name = name
        self.kind = kind  # "normal", "dialog", "menu", ... from _NET_WM_WINDOW_TYPE

    def __repr__(self):
        return f"<{self.kind} {self.id} {self.name!r}>"


class Session:
    """Use as a context manager: `with Session("name", program_dir, log_dir) as s: ...`."""

    def __init__(self, name, program_dir, log_dir, timeout=45.0):
        self.name = name
        self.source_program_dir = os.path.abspath(program_dir)
        self.log_dir = os.path.abspath(log_dir)
        self.timeout = timeout
        self.started_at = time.monotonic()
        self.root = tempfile.mkdtemp(prefix=f"scrivlet-e2e-{name}-")
        self.program_dir = os.path.join(self.root, "bin")
        self.work = os.path.join(self.root, "work")
        self.home = os.path.join(self.root, "home")
        self.display = None
        self._xvfb = None
        self._program = None
        self._adopted = []
        self._program_log = os.path.join(self.root, "program.log")
        self._xvfb_log = os.path.join(self.root, "xvfb.log")
        self._notes = []
        self._bound = set()

    # ---- life cycle ---------------------------------------------------------------------------

    def __enter__(self):
        self._previous_handlers = {}
        for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            self._previous_handlers[sig] = signal.signal(sig, self._on_signal)
        signal.signal(signal.SIGALRM, self._on_alarm)
        signal.setitimer(signal.ITIMER_REAL, self.timeout)
        for stale in (".log", ".png"):
            try:
                os.remove(os.path.join(self.log_dir, self.name + stale))
            except OSError:
                pass
        try:
            self._prepare_folders()
            self._start_xvfb()
        except BaseException:
            self.__exit__(*sys.exc_info())
            raise
        return self

    def __exit__(self, kind, value, tb):
        signal.setitimer(signal.ITIMER_REAL, 0)
        busy = False
        try:
            if kind is not None:
                busy = self._converter_was_busy()
                self._write_failure_log(value)
        finally:
            self._stop_all()
            for sig, handler in self._previous_handlers.items():
                signal.signal(sig, handler)
            shutil.rmtree(self.root, ignore_errors=True)
        if busy and isinstance(value, JourneyFailed) and not isinstance(value, ConverterBusy):
            raise ConverterBusy(f"{value} (the converter said it was busy)") from value
        return False

    def _on_signal(self, signum, frame):
        raise JourneyFailed(f"stopped by signal {signum}")

    def _on_alarm(self, signum, frame):
        raise JourneyFailed(f"journey took longer than {self.timeout:.0f} s")

    def _prepare_folders(self):
        os.makedirs(self.program_dir)
        for entry in PROGRAM_DIR_ENTRIES:
            src = os.path.join(self.source_program_dir, entry)
            dst = os.path.join(self.program_dir, entry)
            if os.path.isdir(src):
                shutil.copytree(src, dst)
            elif os.path.exists(src):
                shutil.copy2(src, dst)
            elif entry in ("scrivlet", "UNKANJ.DLL"):
                raise JourneyFailed(f"{src} is missing: build the program first")
        for sub in ("work", "home", "home/.config", "home/.cache", "home/.local/share", "runtime"):
            os.makedirs(os.path.join(self.root, sub), exist_ok=True)
        os.chmod(os.path.join(self.root, "runtime"), 0o700)

    def _start_xvfb(self):
        if not shutil.which("Xvfb"):
            raise JourneyFailed("Xvfb is not installed (scripts/install-deps.sh installs it)")
        read_end, write_end = os.pipe()
        try:
            with open(self._xvfb_log, "w") as log:
                self._xvfb = subprocess.Popen(
                    ["Xvfb", "-displayfd", str(write_end), "-noreset", "-nolisten", "tcp",
                     "-screen", "0", "1024x768x24"],
                    pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                    stderr=log, preexec_fn=_die_with_parent)
            os.close(write_end)
            write_end = -1
            data = b""
            deadline = time.monotonic() + 15
            while not data.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([read_end], [], [], left)[0]:
                    raise JourneyFailed("Xvfb did not report its display")
                chunk = os.read(read_end, 64)
                if not chunk:
                    raise JourneyFailed("Xvfb exited before reporting its display")
                data += chunk
            self.display = ":" + data.decode().strip()
            self.note(f"Xvfb {self._xvfb.pid} on display {self.display}")
        finally:
            os.close(read_end)
            if write_end >= 0:
                os.close(write_end)

    def _stop(self, proc, grace=3.0):
        if proc is None or proc.poll() is not None:
            return
        try:
            proc.terminate()
            proc.wait(grace)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait(5)
        except ProcessLookupError:
            pass

    def _stop_all(self):
        # The program first, while its display is still there to say goodbye to.
        self._stop(self._program)
        for pid in self._adopted:
            self._stop_pid(pid)
        self._stop(self._xvfb)

    def _stop_pid(self, pid, grace=3.0):
        try:
            os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            return
        if not wait_for(lambda: not _alive(pid), grace):
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass

    def adopt(self, window):
        """Takes over the process that owns window (one the program started detached, so not
        a child of the journey): it is stopped by its PID with everything else. Its PID."""
        pid = int(self.x("xdotool", "getwindowpid", window.id).strip())
        if pid not in self._adopted:
            self._adopted.append(pid)
        self.note(f"adopted process {pid} of {window}")
        return pid

    # ---- the environment ----------------------------------------------------------------------

    def env(self):
        env = {k: v for k, v in os.environ.items()
               if k not in ("XAUTHORITY", "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS",
                            "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE")}
        env.update({
            "DISPLAY": self.display,
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            "XDG_DATA_HOME": os.path.join(self.home, ".local/share"),
            "XDG_RUNTIME_DIR": os.path.join(self.root, "runtime"),
            "QT_QPA_PLATFORM": "xcb",
            "NO_AT_BRIDGE": "1",
            "QT_ACCESSIBILITY": "0",
        })
        return env

    def path(self, *parts):
        """A path in the journey's work folder (the program's current directory)."""
        return os.path.join(self.work, *parts)

    def write_file(self, relative, data, mode=None):
        full = self.path(relative)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(data)
        if mode is not None:
            os.chmod(full, mode)
        return full

    def steps(self):
        return list(self._notes)

    def note(self, text):
        """A line for the failure log (what the journey saw on its way)."""
        self._notes.append(f"{time.monotonic() - self.started_at:6.2f}s {text}")

    # ---- X tools --------------------------------------------------------------------------------

    def x(self, *args, check=True):
        result = subprocess.run(list(args), env=self.env(), stdin=subprocess.DEVNULL,
                                capture_output=True, encoding="utf-8", errors="replace",
                                timeout=15)
        if check and result.returncode != 0:
            raise JourneyFailed(f"{' '.join(args)} failed: {result.stderr.strip()}")
        return result.stdout

    def bind_characters(self, text):
        """Gives every non-ASCII character of text a keycode of its own, before the program
        starts: xdotool then types it with that key instead of rebinding a spare key for a
        moment, which the program may notice too late and drop the character."""
        wanted = sorted({c for c in text if ord(c) > 0x7E})
        if not wanted:
            return
        free = []
        for line in self.x("xmodmap", "-pke").splitlines():
            m = re.match(r"keycode\s+(\d+)\s*=\s*$", line)
            if m and int(m.group(1)) > 8:
                free.append(int(m.group(1)))
        free.reverse()  # the high ones, far from any real key
        if len(free) < len(wanted):
            raise JourneyFailed(f"only {len(free)} spare keycodes for {len(wanted)} characters")
        script = "".join(f"keycode {code} = U{ord(c):04X}\n" for code, c in zip(free, wanted))
        if self._program is not None:
            raise JourneyFailed("bind_characters after the program started: it may not see them")
        subprocess.run(["xmodmap", "-"], input=script, env=self.env(), text=True, check=True,
                       capture_output=True, timeout=15)
        self._bound.update(wanted)
        self.note(f"bound {''.join(wanted)!r} to keycodes {free[:len(wanted)]}")

    # ---- the program --------------------------------------------------------------------------

    def start(self, *args, unprivileged=False, env=None, file_size_limit=None):
        """Starts the copied program with arguments, from the work folder. unprivileged: run it
        without the capabilities that let root read any file, so that a mode-000 file is
        unreadable to it as to an ordinary user (nothing changes when not run as root).
        file_size_limit: the largest file it may write, in bytes (ulimit -f)."""
        command = [os.path.join(self.program_dir, "scrivlet"), *args]
        if unprivileged and os.geteuid() == 0:
            drop = ["setpriv", f"--inh-caps={DAC_CAPS}", f"--bounding-set={DAC_CAPS}", "--"]
            probe = subprocess.run([*drop, "true"], capture_output=True, text=True)
            if probe.returncode != 0:
                raise JourneyFailed("cannot run the program without root's file capabilities "
                                    f"(setpriv: {probe.stderr.strip()}); run the suite as an "
                                    "ordinary user instead")
            command = [*drop, *command]
        self.note(f"start {' '.join(command)}")
        with open(self._program_log, "w") as log:
            self._program = subprocess.Popen(
                command, cwd=self.work, env=env or self.env(), stdin=subprocess.DEVNULL, stdout=log,
                stderr=subprocess.STDOUT, preexec_fn=lambda: _prepare_child(file_size_limit))
        return self._program

    def send_signal(self, number):
        self.note(f"signal {signal.Signals(number).name}")
        self._program.send_signal(number)

    def running(self):
        return self._program is not None and self._program.poll() is None

    def wait_exit(self, timeout=10.0):
        """Whether the program ended within timeout."""
        return bool(wait_for(lambda: not self.running(), timeout))

    # ---- windows ------------------------------------------------------------------------------

    def windows(self, guard=True):
        """The program's visible top-level windows (menus and popups included). guard: raise
        ConverterBusy when the converter's busy box is among them, since whatever the journey
        waits for will then not come."""
        ids = self.x("xdotool", "search", "--onlyvisible", "--name", "", check=False).split()
        found = []
        for wid in ids:
            props = self.x("xprop", "-id", wid, "_NET_WM_WINDOW_TYPE", check=False)
            m = re.search(r"_NET_WM_WINDOW_TYPE_(\w+)", props)
            kind = m.group(1).lower() if m else "other"
            name = self.x("xdotool", "getwindowname", wid, check=False).rstrip("\n")
            if name or kind != "other":
                found.append(Window(wid, name, kind))
        if guard and any(w.kind == "dialog" and w.name == BUSY_TITLE for w in found):
            raise ConverterBusy("the converter reported another conversion running")
        return found

    def dialogs(self, guard=True):
        return [w for w in self.windows(guard) if w.kind == "dialog"]

    def _converter_was_busy(self):
        """Whether the converter's busy box (titled エラー) is open."""
        try:
            return self._xvfb is not None and self._xvfb.poll() is None and any(
                w.name == BUSY_TITLE for w in self.dialogs(guard=False))
        except Exception:
            return False

    def wait_window(self, title_regex, timeout=10.0, kind=None):
        """The first visible window whose title matches, waiting for it to appear."""
        pattern = re.compile(title_regex)

        def find():
            for w in self.windows():
                if pattern.search(w.name) and (kind is None or w.kind == kind):
                    return w
            return None

        w = wait_for(find, timeout, 0.1)
        if not w:
            raise JourneyFailed(f"no window titled /{title_regex}/ within {timeout} s; "
                                f"windows: {self.windows()}")
        self.note(f"window {w}")
        return w

    def wait_no_window(self, title_regex, timeout=10.0, kind=None):
        pattern = re.compile(title_regex)
        gone = wait_for(lambda: not any(
            pattern.search(w.name) and (kind is None or w.kind == kind)
            for w in self.windows()), timeout, 0.1)
        if not gone:
            raise JourneyFailed(f"window /{title_regex}/ still there after {timeout} s")

    def wait_dialog(self, timeout=10.0, other_than=()):
        """A dialog window (file dialog, message box) not among other_than, or None."""
        skip = {w.id for w in other_than}
        return wait_for(lambda: next((w for w in self.dialogs() if w.id not in skip), None),
                         timeout, 0.1)

    def main_window(self, timeout=15.0):
        return self.wait_window(r"^Scrivlet", timeout, kind="normal")

    def title(self, window):
        return self.x("xdotool", "getwindowname", window.id, check=False).strip()

    def wait_title(self, window, regex, timeout=10.0):
        pattern = re.compile(regex)
        # Between looks at the title, a look at the windows notices the busy box.
        ok = wait_for(lambda: pattern.search(self.title(window)) or self.windows() and None,
                      timeout, 0.1)
        if not ok:
            raise JourneyFailed(f"title of {window.id} is {self.title(window)!r}, "
                                f"not /{regex}/ within {timeout} s")
        return self.title(window)

    def focus(self, window):
        """Gives window the keyboard. There is no window manager: without this the keys go to
        whatever window lies under the pointer."""
        self.x("xdotool", "windowfocus", "--sync", window.id)

    # ---- input --------------------------------------------------------------------------------

    def key(self, *keys, delay_ms=40):
        """Presses key combinations in order (xdotool names: ctrl+s, shift+Right, Return)."""
        self.note(f"key {' '.join(keys)}")
        self.x("xdotool", "key", "--delay", str(delay_ms), *keys)

    def type(self, text, delay_ms=12):
        """Types text; its non-ASCII characters must have been bound before the start."""
        unbound = {c for c in text if ord(c) > 0x7E} - self._bound
        if unbound:
            raise JourneyFailed(f"bind_characters({''.join(sorted(unbound))!r}) before start()")
        self.note(f"type {text!r}")
        self.x("xdotool", "type", "--delay", str(delay_ms), "--", text)

    def menu(self, *access_keys):
        """Opens a menu of the menu bar by its access key (Alt+letter) and picks items in it and
        its submenus by their access keys: menu("e", "v", "q")."""
        self.key(f"alt+{access_keys[0]}")
        for k in access_keys[1:]:
            time.sleep(0.15)  # a submenu opens after a short delay of Qt's own
            self.key(k)

    # ---- files --------------------------------------------------------------------------------

    @staticmethod
    def read(path):
        with open(path, "rb") as f:
            return f.read()

    @staticmethod
    def stamp(path):
        try:
            st = os.stat(path)
            return (st.st_ino, st.st_mtime_ns, st.st_size, st.st_mode)
        except FileNotFoundError:
            return None

    def wait_file_changed(self, path, before, timeout=10.0):
        """Waits until path's inode, time, size or mode differ from the stamp before; whether
        they did."""
        changed = wait_for(lambda: self.stamp(path) != before, timeout, 0.05)
        if changed:
            time.sleep(0.1)  # an in-place rewrite may still be finishing
        return bool(changed)

    # ---- the failure log ----------------------------------------------------------------------

    def _write_failure_log(self, error):
        os.makedirs(self.log_dir, exist_ok=True)
        base = os.path.join(self.log_dir, self.name)
        lines = [f"journey {self.name} failed: {error!r}", f"display {self.display}"]
        if self.display and self._xvfb and self._xvfb.poll() is None:
            try:
                lines.append(f"windows: {self.windows(guard=False)}")
                if shutil.which("import"):
                    subprocess.run(["import", "-window", "root", base + ".png"], env=self.env(),
                                   capture_output=True, timeout=15)
                    lines.append(f"screenshot: {base}.png")
            except Exception as e:  # the log is best effort; the failure itself is reported
                lines.append(f"(no window list or screenshot: {e!r})")
        lines += ["steps:", *self._notes]
        for title, log in (("program output:", self._program_log),
                           ("Xvfb output:", self._xvfb_log)):
            try:
                with open(log, errors="replace") as f:
                    lines += [title, f.read()]
            except OSError:
                pass
        with open(base + ".log", "w") as f:
            f.write("\n".join(lines) + "\n")
        print("\n".join(lines), file=sys.stderr)
        print(f"failure log: {base}.log", file=sys.stderr)
