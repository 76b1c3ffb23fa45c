#!/usr/bin/python3
"""The Windows program under Wine, on a virtual X screen of 1024 x 768 x 24
(Wine switches the display only to the X screen's own size):
  1. cross-builds and packages it (installing mingw-w64, Wine and the X tools
     when they are missing);
  2. runs the checks of the Windows backend;
  3. plays the packaged game from another working directory: the intro, the
     play field, a hit that changes the score, Left, Space, P, another window
     taking the focus, Escape; the game's share of a core at the intro, in
     play, paused and while away;
  4. starts the program without its pictures: one line on standard error, a
     message box, a non-zero exit code.
Screenshots are kept in build-windows/wine-test/shots/. When the test can't
run here at all (no packages, no X server, no Wine), it says so and why, and
exits 0.

    /usr/bin/python3 tests/win32/e2e.py
"""
import os
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

root = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(root / "tests/desktop"))
import harness as h  # noqa: E402

os.chdir(root)
print("== Windows program: install, build, package", flush=True)
if subprocess.call(["bash", "scripts/install-deps.sh", "windows"]) != 0:
    print("windows: could not install every package of scripts/packages/windows.txt")
t = h.Test("windows", root / "build-windows/wine-test")
missing = h.missing_tool("x86_64-w64-mingw32-g++", "x86_64-w64-mingw32-windres", "cmake")
if missing:
    t.skip(f"the cross compiler is not installed ({missing} missing)")
t.need(subprocess.call(["bash", "scripts/package-windows.sh"]) == 0, "the Windows build and its package")
missing = h.missing_tool("wine", "Xvfb", "xdotool", "import", "convert", "unzip", "xmllint", "xmessage")
if missing:
    t.skip(f"Wine or the X tools are not installed ({missing} missing)")
try:
    h.Screen(1024, 768)
    print("== starting Wine (a new prefix takes a while)", flush=True)
    wine = h.Wine(root / "build-windows/wine-prefix")
except h.CannotRun as reason:
    t.skip(reason)


def percent(share):
    return "?" if share is None else f"{share:.1f}"


def output(program):
    return (t.work / f"{program.name}.out").read_text(errors="replace").replace("\r", "")


# ---- the backend's own checks
print("== checks of the Windows backend", flush=True)
elsewhere = t.work / "elsewhere"
elsewhere.mkdir()
checks_exe = root / "build-windows/tests/win32/win32_backend_checks.exe"
checks = wine.start(checks_exe, "checks", "files", "messages", "keys", "display", "clock", "waits",
                    "pause", "resources", wine.path(root / "build-windows/bin/marchfire.exe"),
                    cwd=elsewhere)
code = checks.ended(within=300)
print(output(checks), end="")
summary = re.findall(r"^(\d+) passed, (\d+) failed$", output(checks), re.M)
if summary:
    t.passed += int(summary[-1][0])
    t.failed += int(summary[-1][1])
t.check(code == 0 and summary, "the backend checks ran to the end and passed", f"(exit {code})")

# Beside a program installed deep in the file tree, a path is longer than
# OpenFile takes.
deep = t.work.joinpath("deep", *(f"a_folder_with_a_rather_long_name_{n}" for n in ("one", "two", "three")))
deep.mkdir(parents=True)
shutil.copy(checks_exe, deep)
deep_checks = wine.start(deep / checks_exe.name, "deep-checks", "files", cwd=elsewhere)
code = deep_checks.ended(within=120)
length = re.search(r"^program directory: (\d+) characters$", output(deep_checks), re.M)
t.check(code == 0 and length and int(length[1]) > 128,
        f"files beside a program deeper than 128 characters ({length and length[1]}) are found",
        f"(exit {code})")
# The system refuses to start a program whose manifest is not well-formed
# XML; Wine is more lenient, so the embedded file is checked here too.
t.check(h.run("xmllint", "--noout", root / "build-windows/platform/win32/marchfire.manifest")[0] == 0,
        "the program's manifest is well-formed XML")

# ---- the packaged game, end to end
print("== the packaged game", flush=True)
h.run("unzip", "-q", "dist/marchfire-windows.zip", "-d", t.work / "unpacked")
unpacked = t.work / "unpacked/marchfire"
listing = sorted(file.name for file in unpacked.iterdir())
t.check(listing == ["README.txt", "dead.bmp", "finished.bmp", "game_m_modified_small.bmp",
                    "intro.bmp", "junior.bmp", "marchfire.exe", "missile.bmp", "senior.bmp",
                    "shield_blue.bmp", "shield_yellow.bmp", "sophomore.bmp", "spartan.bmp"],
        "the zip holds the program, its eleven pictures and a read-me", listing)
system_dlls = "kernel32 user32 gdi32 ddraw winmm msvcrt advapi32 shell32 ole32".split()
foreign = [dll for dll in re.findall(r"DLL Name: (\S+)", h.run(
    "x86_64-w64-mingw32-objdump", "-p", unpacked / "marchfire.exe")[1])
    if dll.lower().removesuffix(".dll") not in system_dlls]
t.check(not foreign, f"the program needs no DLL beside it ({' '.join(foreign) or 'only system DLLs'})")

pic = {name: h.picture(unpacked / f"{name}.bmp") for name in
       ("intro", "dead", "shield_blue", "shield_yellow", "game_m_modified_small", "spartan")}
GRID, WHITE = 0x126F06, 0xFFFFFF


def grid_shown(shot):
    return shot.count(GRID, 0, 80, 1024, 420) > 1000


def death_shown(shot):
    return shot.same(pic["dead"], 192, 144) == 1.0


def player_x(shot):
    return next((x for x, y in shot.find(pic["game_m_modified_small"], 64, 64, 0.97) if y == 704),
                None)


def grid_place(shot):
    return min(((x, y) for x, y in shot.find(pic["spartan"], 60, 56, 0.97)),
               key=lambda place: place[::-1], default=None)


def pause_line(shot):
    return shot.count(WHITE, 0, 356, 1024, 56)


def whole(shot):
    return shot.region(0, 0, 1024, 768)


deaths = 0


def back_to_play():
    """Play goes on from wherever the enemies left it: after a death, Enter
    starts a new game; checks that meet the death picture try again."""
    global deaths
    now = h.shot()
    if not death_shown(now):
        return now
    deaths += 1
    now.keep(f"death-{deaths}")
    print(f"note: an enemy missile hit the player (death-{deaths}.png); Enter starts a new game")
    h.press("Return", 0.2)
    return h.shows(15, grid_shown, game)


def move_player_to(low, high):
    """Moves the player until it stands with x in [low, high]; where it stands."""
    x = player_x(h.shot())
    for _ in range(8):
        if x is None or low <= x <= high:
            break
        target = (low + high) // 2
        h.press("Right" if target > x else "Left", abs(target - x) / 500 + 0.05)
        time.sleep(0.2)
        x = player_x(h.shot())
    return x


# Started from another working directory: the pictures must be found beside
# the program.
game = wine.start(unpacked / "marchfire.exe", "game", cwd=elsewhere)
t.need(h.shows(120, lambda shot: shot.same(pic["intro"], 0, 0) == 1.0, game),
       "the intro fills the screen, pixel for pixel its picture")
pid = wine.process("marchfire.exe")
share = h.cpu_share(pid, 3)
print(f"figure: waiting at the intro, the game uses {percent(share)} % of a core")
t.check(share is not None and share <= 5,
        f"the intro's key wait hands its time back ({percent(share)} % of a core)")

h.press("Return", 0.2)
time.sleep(0.5)
play = h.shows(15, grid_shown, game)
t.need(play, "Enter shows the play field: the enemy grid in its colour")
play.keep("play")
print(f"figure: in play, the game uses {percent(h.cpu_share(pid, 3))} % of a core")
t.check(play.same(pic["shield_blue"], 150, 600) >= 0.99, "the blue shield at (150, 600)")
t.check(play.same(pic["shield_yellow"], 650, 600) >= 0.99, "the yellow shield at (650, 600)")
t.check(player_x(play) is not None, f"the player at the bottom (x {player_x(play)})")
t.check(play.count(WHITE, 900, 0, 124, 24) > 20, "the score text at the top right")
# Neighbouring enemies overlap by a few columns, so the grid shows a little
# less than 32 whole pictures of their colour.
per_enemy = int(h.probe("count", pic["spartan"], f"{GRID:06X}", 0, 0, 64, 56))
grid_pixels = play.count(GRID, 0, 80, 1024, 420)
t.check(per_enemy > 0 and grid_pixels * 10 >= per_enemy * 32 * 8,
        f"all 32 enemies of the grid ({grid_pixels} pixels of their colour, {per_enemy} in one)")

# A hit: a missile finds an enemy by the colour of the frame shown last, which
# must stay readable after the flip; the score text then changes. The player
# fires from the lane between the shields, under the grid's middle columns
# whichever way it marches (its left edge stays within 337..544 in the first
# sweep), and fires again after a miss. Standing without cover, it may be
# shot first, more often on a loaded machine: then it tries again in a new
# game, up to five times.
outcome, lane_x = "not tried", None
for _ in range(5):
    if not back_to_play():
        break
    lane_x = move_player_to(560, 600)
    if lane_x is None or not 365 <= lane_x <= 615:
        outcome = "the player did not reach the lane between the shields"
        if death_shown(h.shot()):
            continue
        break
    score_before = h.shot().region(900, 0, 124, 24)
    outcome = "no change of the score"
    for shot_number in (1, 2, 3):
        h.press("space", 0.15)

        def hit_or_death():
            now = h.shot()
            if death_shown(now):
                return "died first"
            if now.region(900, 0, 124, 24) != score_before and now.count(WHITE, 900, 0, 124, 24) > 20:
                now.keep("hit")
                return f"hit with shot {shot_number}"
        outcome = h.wait_for(2.5, hit_or_death, every=0.25) or outcome
        if outcome != "no change of the score":
            break
    if outcome != "died first":
        break
t.check(outcome.startswith("hit"),
        f"a missile from x {lane_x} hits the grid and the score changes ({outcome})")


def non_black(shot, x, y, w, h):
    return w * h - shot.count(0, x, y, w, h)


# Held Left moves the player, to the left edge where no shield stands in the
# way of a shot.
moved_ok = missile_seen = False
x_before = x_moved = None
for _ in range(3):
    if not back_to_play():
        break
    x_before = player_x(h.shot())
    # On a loaded machine a step may take twice its time: Left is held again
    # until the player stands clear of the blue shield.
    for _ in range(3):
        h.press("Left", 2)
        time.sleep(0.3)
        moved = h.shot()
        x_moved = player_x(moved)
        if (x_moved is not None and x_moved < 100) or death_shown(moved):
            break
    if death_shown(moved):
        continue
    moved_ok = None not in (x_moved, x_before) and x_moved + 100 <= x_before
    if moved_ok:
        before = non_black(moved, x_moved + 22, 110, 16, 590)
        h.press("space", 0.15)
        missile_seen = bool(h.wait_for(
            0.6, lambda: non_black(h.shot(), x_moved + 22, 110, 16, 590) > before, every=0.1))
        if not missile_seen and death_shown(h.shot()):
            continue
    break
t.check(moved_ok, f"held Left moves the player left (from x {x_before} to {x_moved})")
t.check(missile_seen, "a released Space fires a missile upward from the player")

# ---- the pause: P, and another window taking the focus
back_to_play()
h.press("p", 0.1)
time.sleep(0.2)
paused = h.shows(3, lambda shot: pause_line(shot) > 200, game)
t.check(paused, "P pauses: a line over the field says so")
share = h.cpu_share(pid, 3)
print(f"figure: paused, the game uses {percent(share)} % of a core")
still = h.shot().keep("paused")
t.check(paused and whole(still) == whole(paused), "while paused nothing moves (in 3 s)")
t.check(share is not None and share <= 5, f"and the game hands its time back ({percent(share)} % of a core)")
h.press("p", 0.1)
t.check(paused and h.shows(4, lambda shot: whole(shot) != whole(still) and
                           pause_line(shot) * 4 < pause_line(paused), game),
        "P again resumes: the field moves on, the line is gone")

# Another program's window takes the focus, as a click on it would; the game
# comes back the way a click on its task bar button brings it.
back_to_play()
game_window = h.window_named("DirectDraw 24-Bit Bitmap Loading")
other, other_window = h.other_window()
if t.check(game_window and other_window, "a second window to take the focus",
           f"(game {game_window}, other {other_window})"):
    h.focus(game_window, sync=False)
    time.sleep(0.5)
    away_from = grid_place(h.shot())
    h.focus(other_window, sync=False)
    time.sleep(1)
    share = h.cpu_share(pid, 4)
    print(f"figure: with another window in front, the game uses {percent(share)} % of a core")
    wine.start(checks_exe, "bring-back", "bring-back", "WINCLASS1", cwd=elsewhere).ended(within=60)
    back = h.shows(3, lambda shot: shot.count(GRID, 0, 60, 1024, 440) > 1000, game)
    back_at = grid_place(back or h.shot())
    t.check(share is not None and share <= 5,
            f"losing the focus pauses the game ({percent(share)} % of a core while away)")
    # In five seconds away the grid would have marched six times; the shots
    # around the pause may each fall next to one step.
    t.check(None not in (away_from, back_at) and
            all(abs(a - b) <= 40 for a, b in zip(away_from, back_at)),
            f"the grid stood still while away (from {away_from} to {back_at})")
    t.check(back, "on return the field is on the screen again")
    time.sleep(0.2)
    t.check(back and h.shows(4, lambda shot: whole(shot) != whole(back), game), "and the game runs on")
other.stop()
# Paused once more: the Escape below must end the game from a pause too.
h.press("p", 0.1)
time.sleep(0.5)
h.shot().keep("paused-at-end")
h.press("Escape", 0.3)
code = game.ended(within=60)
t.check(code == 0, f"Escape (from a pause) ends the program with exit code 0 (got {code})")
game.stop()

# ---- a start without the pictures
print("== a start without the pictures", flush=True)
alone = t.work / "alone"
alone.mkdir()
shutil.copy(unpacked / "marchfire.exe", alone)
failed_start = wine.start(alone / "marchfire.exe", "alone", cwd=alone)
box = h.window_named("marchfire", 60)
h.shot().keep("failed-start")
t.check(box, "a message box tells why the game could not start")
lines = [line for line in failed_start.stderr().splitlines() if "marchfire:" in line]
t.check(any("game_m_modified_small.bmp" in line for line in lines),
        f"one line on standard error names the missing picture: {lines[:1]}")
if box:
    h.xdotool("windowactivate", "--sync", box)
    h.press("Return", 0.2)
code = failed_start.ended(within=60)
t.check(code not in (None, 0), f"the failed start ends, with a non-zero exit code (got {code})")
print(f"screenshots: {t.work}/shots")
t.done()
