"""The end-to-end harness of the desktop programs: the Linux one, and the
Windows one under Wine. Python's standard library and the X tools only
(Xvfb, xdotool, ImageMagick); pictures are read by screen_probe.cpp, beside
this file (MARCHFIRE_SCREEN_PROBE names a built one, else it is compiled).

    import harness as h
    t = h.Test("name")          # work folder /tmp/marchfire-name.*, or Test(name, folder)
    t.check(ok, what, why="")   # one check: "ok: what", or "FAILED: what why"
    t.need(ok, what, why="")    # a check the rest depends on: a failure ends the test
    t.skip(why); t.done()       # "name: SKIPPED: why", exit 0; "N passed, M failed"
    h.Screen(1280, 1024)        # a private X screen; everything started later uses it
    s = h.shot()                # the screen now: s.same(pic, x, y) -> fraction,
                                # s.find(pic, w, h, least) -> [(x, y)] best first,
                                # s.count(0xRRGGBB, x, y, w, h), s.region(x, y, w, h) -> bytes,
                                # s.keep(name) -> shots/name.png
    pic = h.picture(path)       # a BMP or PNG for same and find
    h.press("Left", 0.15)       # held for a time; "alt+Return" presses a combination
    h.key_down(k), h.key_up(k)
    h.wait_for(seconds, test)   # test()'s first true value, polled; None after the bound
    h.shows(seconds, test, g)   # a fresh shot for which test(shot) holds, while g runs
    g = h.Program([cmd], "log name", cwd=, env=)   # started; output in work/NAME.out, .err
    g.ended(within=s)           # exit code, or None while it still runs; g.stop()
    w = h.Wine(prefix)          # a prefix and one Wine server for the test
    w.start(exe, "log name", cwd=, env=)  # a Program; WINEDLLOVERRIDES in env adds to ours
    w.process("marchfire.exe")  # its pid in this prefix
    h.window_named(title), h.focus(window), h.other_window()
    h.geometry(window)          # (x, y, w, h) of its inside on the screen
    h.cpu_share(pid, seconds), h.cpu_seconds(pid)
    h.held_until_end(keys, g, seconds)    # keys held until g ends: its exit code, or None

Everything started is ended when the test ends; a failed test keeps its work
folder and shows the end of each program's standard error.
"""
import atexit
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
work = Path(tempfile.gettempdir())
_running = []
_probe_path = os.environ.get("MARCHFIRE_SCREEN_PROBE")


class CannotRun(Exception):
    """What the machine lacks for a test to run at all."""


class Test:
    def __init__(self, name, folder=None):
        global work
        self.name, self.passed, self.failed = name, 0, 0
        self.kept = folder is not None
        if folder:
            shutil.rmtree(folder, ignore_errors=True)
            Path(folder).mkdir(parents=True)
        work = Path(folder or tempfile.mkdtemp(prefix=f"marchfire-{name}."))
        self.work = work
        signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
        atexit.register(self._end)

    def check(self, ok, what, why=""):
        print(f"ok: {what}" if ok else f"FAILED: {what} {why}".rstrip(), flush=True)
        if ok:
            self.passed += 1
        else:
            self.failed += 1
        return bool(ok)

    def need(self, ok, what, why=""):
        if not self.check(ok, what, why):
            self.done()
        return ok

    def need_tools(self, *tools):
        missing = missing_tool(*tools)
        self.need(not missing, f"{missing or 'every tool needed'} is installed")

    def skip(self, why):
        print(f"{self.name}: SKIPPED: {why}", flush=True)
        sys.exit(0)

    def done(self):
        print(f"{self.name}: {self.passed} passed, {self.failed} failed", flush=True)
        sys.exit(1 if self.failed else 0)

    def _end(self):
        for process in reversed(_running):
            _stop(process)
        if self.failed:
            if _last_shot:
                _last_shot.keep("last-shot")
            for log in sorted(work.glob("*.err")):
                lines = log.read_text(errors="replace").splitlines()[-20:]
                if lines:
                    print(f"--- {log}", *lines, sep="\n")
        if self.failed or self.kept:
            print(f"screenshots and logs kept in {work}")
        else:
            shutil.rmtree(work, ignore_errors=True)


def missing_tool(*tools):
    """The first of the commands that is not installed, or None."""
    return next((tool for tool in tools if not shutil.which(tool)), None)


def run(*command):
    """A command to its end: (exit code, standard output and error)."""
    done = subprocess.run([str(c) for c in command], stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True, errors="replace")
    return done.returncode, done.stdout


def _stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


# ---- the X screen, keys and windows

def Screen(width=1024, height=768):
    """A private Xvfb of that size (24 bits); it picks a free display itself.
    Its process is returned."""
    with open(work / "display", "w") as display:
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(display.fileno()), "-screen", "0",
             f"{width}x{height}x24", "-nolisten", "tcp"], pass_fds=[display.fileno()],
            stdout=open(work / "xvfb.log", "w"), stderr=subprocess.STDOUT)
    _running.append(xvfb)
    number = wait_for(30, lambda: (work / "display").read_text().split(), every=0.1)
    if not number:
        raise CannotRun(f"the virtual X server did not start (see {work}/xvfb.log)")
    os.environ["DISPLAY"] = ":" + number[0]
    return xvfb


def xdotool(*args):
    return run("xdotool", *args)[1].strip()


def key_down(keys):
    xdotool("keydown", keys)


def key_up(keys):
    xdotool("keyup", keys)


def press(keys, seconds=0.15):
    """Keys held for a time, as a finger does: the games poll held keys, and
    an instant tap can fall between two polls."""
    xdotool("keydown", keys, "sleep", f"{seconds:.3f}", "keyup", keys)


def window_named(title, seconds=10):
    """The id of the first window of exactly this title, or None. A window
    that goes while xdotool searches makes it print an X error: no id."""
    def first_id():
        ids = [line for line in xdotool("search", "--name", f"^{title}$").split("\n")
               if line.isdigit()]
        return ids[0] if ids else None
    return wait_for(seconds, first_id, every=0.1)


def focus(window, sync=True):
    """The keyboard's focus to a window; with sync, once the server has moved it
    (Wine's windows may not report it: sync=False)."""
    xdotool("windowfocus", *(["--sync"] if sync else []), window)


def geometry(window):
    """Where a window's inside lies on the screen: (x, y, width, height)."""
    # Read by name: an X error (the window went) carries numbers too.
    text = xdotool("getwindowgeometry", window)
    position = re.search(r"Position: (\d+),(\d+)", text)
    size = re.search(r"Geometry: (\d+)x(\d+)", text)
    return tuple(int(n) for n in position.groups() + size.groups()) if position and size else None


def other_window():
    """Another program's window, to take the focus from the game: (program, id)."""
    other = Program(["xmessage", "-geometry", "120x40+0+0", "elsewhere"], "other")
    return other, window_named("xmessage")


# ---- pictures

def probe(*args):
    global _probe_path
    if not _probe_path:
        _probe_path = work / "screen_probe"
        run("c++", "-O2", "-std=c++17", "-o", _probe_path, HERE / "screen_probe.cpp")
    code, out = run(_probe_path, *args)
    if code != 0:
        raise RuntimeError(f"screen_probe {' '.join(map(str, args))}: {out}")
    return out


_pictures = {}


def picture(path):
    """A picture file in the probe's format (binary PPM), made once."""
    path = Path(path)
    if path not in _pictures:
        _pictures[path] = work / f"picture-{len(_pictures)}-{path.stem}.ppm"
        code, out = run("convert", path, "-depth", "8", f"ppm:{_pictures[path]}")
        if code != 0:
            raise RuntimeError(f"cannot convert {path}: {out}")
    return _pictures[path]


class Shot:
    """A screenshot; its file goes when the shot is no longer needed."""
    taken = 0

    def __init__(self, path):
        self.path = path

    def __del__(self):
        self.path.unlink(missing_ok=True)

    def same(self, pic, x, y):
        return float(probe("same", self.path, pic, x, y))

    def find(self, pic, w, h, least=1.0):
        lines = probe("find", self.path, pic, w, h, least).split("\n")
        return [tuple(map(int, line.split())) for line in lines if line]

    def count(self, colour, x, y, w, h):
        return int(probe("count", self.path, f"{colour:06X}", x, y, w, h))

    def region(self, x, y, w, h):
        data = self.path.read_bytes()
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
        width, start = int(header[1]), header.end()
        return b"".join(data[start + (row * width + x) * 3:start + (row * width + x + w) * 3]
                        for row in range(y, y + h))

    def keep(self, name):
        (work / "shots").mkdir(exist_ok=True)
        run("convert", self.path, work / "shots" / f"{name}.png")
        return self


_last_shot = None


def shot():
    global _last_shot
    Shot.taken += 1
    path = work / f"shot-{Shot.taken}.ppm"
    # A window that appears or goes during the screenshot can spoil it.
    wait_for(2, lambda: run("import", "-window", "root", "-depth", "8", f"ppm:{path}")[0] == 0,
             every=0.05)
    _last_shot = Shot(path)
    return _last_shot


# ---- waiting with a bound

def wait_for(seconds, test, every=0.2, alive=None):
    """test()'s first true value within the bound; None after it, or once
    the program `alive` has ended."""
    deadline = time.monotonic() + seconds
    while alive is None or alive.running():
        value = test()
        if value:
            return value
        if time.monotonic() >= deadline:
            break
        time.sleep(every)
    return None


def shows(seconds, test, game=None):
    """A fresh shot of the screen for which test(shot) holds, within the bound."""
    def look():
        now = shot()
        return now if test(now) else None
    return wait_for(seconds, look, alive=game)


def held_until_end(keys, game, seconds):
    """Keys held until the program ends, as a player holds Escape: its exit
    code, or None when it still runs after the bound."""
    key_down(keys)
    code = game.ended(within=seconds)
    key_up(keys)
    return code


# ---- the program under test

class Program:
    def __init__(self, command, name, cwd=None, env=None):
        self.name = name
        self.process = subprocess.Popen(
            [str(c) for c in command], cwd=cwd, env={**os.environ, **(env or {})},
            stdout=open(work / f"{name}.out", "w"), stderr=open(work / f"{name}.err", "w"))
        _running.append(self.process)

    def running(self):
        return self.process.poll() is None

    def ended(self, within=0):
        try:
            return self.process.wait(within)
        except subprocess.TimeoutExpired:
            return None

    def stop(self):
        _stop(self.process)

    def stderr(self):
        return (work / f"{self.name}.err").read_text(errors="replace")


class Wine:
    """A 64-bit prefix, kept between runs (making one is the slowest part),
    and one Wine server for the whole test: a program started while the
    server of the one before shuts down can fail to start."""

    def __init__(self, prefix):
        self.prefix = str(prefix)
        # Wine makes the prefix's folder itself, but not the folders above it.
        Path(prefix).mkdir(parents=True, exist_ok=True)
        os.environ.update(WINEPREFIX=self.prefix, WINEARCH="win64", WINEDEBUG="-all",
                          # No downloads of Wine's .NET and HTML engines.
                          WINEDLLOVERRIDES="mscoree,mshtml=")
        # Files, not pipes: a Wine server started here outlives the command.
        with open(work / "wineboot.log", "w") as log:
            booted = subprocess.call(["timeout", "300", "wine", "wineboot", "--init"], stdout=log,
                                     stderr=subprocess.STDOUT)
        if booted != 0:
            raise CannotRun(f"Wine cannot start here (wineboot failed; see {work}/wineboot.log)")
        subprocess.call(["wineserver", "-p"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        atexit.register(run, "wineserver", "-k")

    def start(self, exe, name, *args, cwd=None, env=None):
        env = dict(env or {})
        if "WINEDLLOVERRIDES" in env:
            env["WINEDLLOVERRIDES"] = os.environ["WINEDLLOVERRIDES"] + ";" + env["WINEDLLOVERRIDES"]
        # Through start, which waits and ends with the program's own exit
        # code: once a program's threads have ended, the Wine server kills
        # its Unix process with SIGKILL if it takes more than half a second
        # to go, as it may on a loaded machine, and that would hide the code.
        return Program(["wine", "start", "/b", "/wait", "/unix", exe, *args], name, cwd=cwd, env=env)

    def path(self, path):
        """The Windows path of a file."""
        return run("winepath", "-w", path)[1].strip()

    def process(self, image_name):
        for entry in Path("/proc").iterdir():
            try:
                if ((entry / "comm").read_text().strip() == image_name and
                        f"WINEPREFIX={self.prefix}".encode() in
                        (entry / "environ").read_bytes().split(b"\0")):
                    return int(entry.name)
            except OSError:
                continue
        return None


def cpu_seconds(pid):
    """The CPU time, user and system, that the process has used so far."""
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def cpu_share(pid, seconds):
    """The share of one core, in per cent, that the process used over the
    next seconds; None when it has gone."""
    try:
        before = cpu_seconds(pid)
        time.sleep(seconds)
        return 100 * (cpu_seconds(pid) - before) / seconds
    except (OSError, TypeError):
        return None
