#!/usr/bin/python3
"""What the desktop program costs while it waits and while it plays, and
whether quick taps reach it: the real program on a private virtual screen
(Xvfb), driven by real key events.

    /usr/bin/python3 scripts/measure-cpu.py [PROGRAM]

PROGRAM defaults to build/bin/marchfire, and the screen probe beside it is
used (both built by `cmake --build build`). Prints the process's own CPU
time (user + system, from /proc) over MEASURE_SECONDS (default 5) per state,
as a share of one core, with the display server's beside it, and the number
of 12 ms taps of Left and Right (TAPS, default 50) that moved the player. The
level picture and the death picture are reached by setting the game's own
variables from a debugger (gdb): no enemies left, then the grid at the
shields' line; everything after that is the program's ordinary path.
"""
import os
import sys
import time
from pathlib import Path

root = Path(__file__).resolve().parents[1]
program = Path(sys.argv[1] if len(sys.argv) > 1 else root / "build/bin/marchfire").resolve()
os.environ.setdefault("MARCHFIRE_SCREEN_PROBE", str(program.parent / "screen_probe"))
sys.path.insert(0, str(root / "tests/desktop"))
import harness as h  # noqa: E402

seconds = float(os.environ.get("MEASURE_SECONDS", 5))
taps = int(os.environ.get("TAPS", 50))
t = h.Test("measure")
t.need_tools("Xvfb", "xdotool", "import", "convert", "gdb")
xvfb = h.Screen()
pic = {name: h.picture(program.parent / f"{name}.bmp")
       for name in ("intro", "spartan", "dead", "sophomore", "game_m_modified_small")}
load_before = Path("/proc/loadavg").read_text().split()[:3]
game = h.Program([program], "game", env={"SDL_AUDIODRIVER": "dummy"})
pid = game.process.pid


def main_thread_ns():
    """Nanoseconds the program's main thread ran, and waited to run, so far."""
    return sum(map(int, Path(f"/proc/{pid}/schedstat").read_text().split()[:2]))


def cpu_share(over):
    """Share of one core over the next seconds, in per cent: the program's; in
    brackets the display server's on its behalf, and the share of the time its
    main thread ran or was ready to run (a thread that spins is ready all the
    time, and takes a whole core wherever one is free)."""
    before = [h.cpu_seconds(pid), h.cpu_seconds(xvfb.pid), main_thread_ns(), time.monotonic_ns()]
    time.sleep(over)
    after = [h.cpu_seconds(pid), h.cpu_seconds(xvfb.pid), main_thread_ns(), time.monotonic_ns()]
    game_s, x_s, main_ns, ns = (b - a for a, b in zip(before, after))
    return f"{100 * game_s * 1e9 / ns:5.1f}  ({100 * x_s * 1e9 / ns:.1f}; {100 * main_ns / ns:.0f})"


def set_game_variable(assignment):
    code, out = h.run("gdb", "-p", pid, "-batch", "-ex", f"set var {assignment}")
    t.need(code == 0, f"gdb sets {assignment}", out)


def picture_at(name, x, y):
    return lambda shot: shot.same(pic[name], x, y) >= 0.99


def enemies_shown(shot):
    return len(shot.find(pic["spartan"], 60, 56, 0.97)) >= 30


def player_x_now():
    """The player's x from the bottom rows of the screen alone: quick enough
    to look after every tap."""
    row = h.work / "row.ppm"
    h.run("import", "-window", "root", "-crop", "1024x64+0+704", "+repage", "-depth", "8", f"ppm:{row}")
    return next((x for x, _ in h.Shot(row).find(pic["game_m_modified_small"], 64, 64, 0.97)), None)


def count_taps():
    """Taps Left and Right in turn, each down for 12 ms, and counts the taps
    after which the player stood elsewhere. In turn, so that the player stays
    under the blue shield."""
    detected, before = 0, player_x_now()
    t.need(before is not None, "the player is on the screen before the taps")
    for tap in range(taps):
        h.press("Right" if tap % 2 else "Left", 0.012)
        time.sleep(0.1)
        after = player_x_now()
        if after is None:
            t.need(False, f"the player stays on the screen during the taps (tap {tap + 1})")
        detected += after != before
        before = after
    return detected


figures = {}
t.need(h.shows(60, picture_at("intro", 0, 0), game), "the intro fills the screen")
time.sleep(1)
figures["intro picture waiting"] = cpu_share(seconds)
h.press("Return")
t.need(h.shows(30, enemies_shown, game), "Enter shows the play field")
time.sleep(1)
figures["play"] = cpu_share(seconds)
figures["paused in play"] = "no pause"
h.press("p", 0.1)
if h.shows(5, lambda shot: shot.count(0xFFFFFF, 0, 450, 1024, 60) >= 200, game):
    figures["paused in play"] = cpu_share(seconds)
    h.press("p", 0.1)
    time.sleep(0.5)
tapped = count_taps()
set_game_variable("enemies_left = 0")
t.need(h.shows(20, picture_at("sophomore", 215, 144), game), "the level picture after the wave was emptied")
figures["level picture (3 s)"] = cpu_share(3)
t.need(h.shows(20, enemies_shown, game), "the play field after the level picture")
set_game_variable("formation_y = 600")
t.need(h.shows(20, picture_at("dead", 192, 144), game), "the death picture after the grid reached the shields")
time.sleep(1)
figures["death picture waiting"] = cpu_share(seconds)
t.need(h.held_until_end("Escape", game, 5) == 0, "Escape on the death picture ends the program")

print(f"program: {program}; load average before: {' '.join(load_before)}, "
      f"after: {' '.join(Path('/proc/loadavg').read_text().split()[:3])}")
print(f"{'state':<28} CPU, % of one core: program  (display server; main thread running or ready)")
for state, figure in figures.items():
    print(f"{state:<28} {figure}")
print(f"12 ms taps that moved the player: {tapped} of {taps}")
t.done()
