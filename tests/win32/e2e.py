#!/usr/bin/python3
"""The Windows program under Wine, on a virtual X screen of 1024 x 768 x 24
(Wine switches the display only to the X screen's own size):
  1. cross-builds and packages it (installing mingw-w64, Wine and the X tools
     when they are missing);
  2. runs the checks of the Windows backend;
  3. plays the packaged game from another working directory: the intro, the
     play field read from the paused screen, P, Left, Space (its sound, from
     Wine's trace of the sound library), another window taking the focus,
     Alt+Enter to a window and back, Escape from a pause;
  4. starts the program without its pictures: one line on standard error, a
     message box, a non-zero exit code;
  5. on a screen of 1280 x 1024, which offers no 1024 x 768 mode: the game in
     a window, played with the keyboard and a gamepad (a stand-in XInput
     beside the program plays back the pad states the test writes).
What the game does once keys reach it (hits, scores, waves, deaths) is
checked on the in-memory platform, where the test owns the clock; here the
player stays out of the grid's reach, so no check depends on the enemies'
random fire, and every wait ends at something the game is certain to show.
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
                    "pause", "window", "pads", "resources",
                    wine.path(root / "build-windows/bin/marchfire.exe"), cwd=elsewhere)
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
version = subprocess.run(["bash", root / "scripts/version.sh"], capture_output=True, text=True).stdout.strip()
h.run("unzip", "-q", f"dist/marchfire-{version}-windows.zip", "-d", t.work / "unpacked")
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
       ("intro", "dead", "shield_blue", "shield_yellow", "game_m_modified_small", "spartan",
        "missile")}
GRID, WHITE = 0x126F06, 0xFFFFFF
TITLE = "DirectDraw 24-Bit Bitmap Loading"
# The sound library's calls, as Wine's trace tells them: the shot cue (108)
# sounds at every released Space or A, whether a missile was armed or not,
# and is read from the program's own resources as a wave with its samples.
TRACED = {"WINEDEBUG": "-all,+winmm"}
SHOT_CUE = re.compile(r"MULTIMEDIA_PlaySound pszSound='0*6C'")
MARCH_CUE = re.compile(r"MULTIMEDIA_PlaySound pszSound='0*6[9AB]'")


def grid_shown(shot, at=(0, 0)):
    return shot.count(GRID, at[0], at[1] + 80, 1024, 420) > 1000


def death_shown(shot, at=(0, 0)):
    return shot.same(pic["dead"], at[0] + 192, at[1] + 144) >= 0.8


def player_x(shot, at=(0, 0)):
    """The player's x in the frame whose top-left corner is at `at` on screen."""
    return next((x - at[0] for x, y in shot.find(pic["game_m_modified_small"], 64, 64, 0.97)
                 if y == 704 + at[1]), None)


def pause_line(shot, at=(0, 0)):
    return shot.count(WHITE, at[0], at[1] + 356, 1024, 56)


def whole(shot):
    return shot.region(0, 0, 1024, 768)


def shot_sounds(program):
    return sum(1 for line in program.stderr().splitlines() if SHOT_CUE.search(line))


def grid_steps_made(program):
    """The grid's steps so far, each told by its march cue (105 to 107): the
    game's own clock, read without a screenshot."""
    return sum(1 for line in program.stderr().splitlines() if MARCH_CUE.search(line))


def shot_wave_read(program):
    """Whether a thread that played the shot cue found its samples."""
    playing = {}  # what each thread plays now
    for line in program.stderr().splitlines():
        thread, _, text = line.partition(":")
        name = re.search(r"SoundName=(\S+)", text)
        if name:
            playing[thread] = name[1]
        elif "Chunk Found ckid=data" in text and playing.get(thread) == "#006c":
            return True
    return False


def moved_from(x, at, program):
    """The first screenshot that shows the player away from x (the death
    picture, never expected here, ends the wait too)."""
    return h.shows(60, lambda shot: death_shown(shot, at) or
                   player_x(shot, at) not in (None, x), program)


def taps(key, count):
    """Presses shorter than the game's poll: each one step of 6 px at most,
    unless the machine stalls between its down and up; taps that come within
    one step are merged into one."""
    return ["key", "--delay", "0", key, "sleep", "0.05"] * count


# Everything below keeps the player where the grid's fire cannot reach it:
# under the blue shield (x 162 to 324), where every missile that could hit it
# is stopped by the shield. Nothing has to be won, and nothing waits for
# chance: only the grid's march, three minutes from the shields, could end a
# game, and no part comes near that.

# Started from another working directory: the pictures must be found beside
# the program.
game = wine.start(unpacked / "marchfire.exe", "game", cwd=elsewhere, env=TRACED)
t.need(h.shows(120, lambda shot: shot.same(pic["intro"], 0, 0) == 1.0, game),
       "the intro fills the screen, pixel for pixel its picture")
pid = wine.process("marchfire.exe")
game_window = h.window_named(TITLE)
t.need(game_window, "the game's window is found by its title")
# Given the keyboard at once: the focus is taken from it later.
h.focus(game_window, sync=False)
# The game's share of a core is a figure, not a check: a share over wall
# time moves with the machine's load (1 to 4 % here while the game rests, the
# key wait's looks every 10 ms the most). The key wait's own share is checked
# on its thread's time among the backend checks; that the game stands still
# while paused or away is checked below on the screen.
print(f"figure: waiting at the intro, the game uses {percent(h.cpu_share(pid, 2))} % of a core")

h.press("Return", 0.2)
t.need(h.shows(60, grid_shown, game), "Enter shows the play field: the enemy grid in its colour")
print(f"figure: in play, the game uses {percent(h.cpu_share(pid, 2))} % of a core")

# ---- the pause. The field is read from the paused screen: frozen, it
# cannot be caught half drawn.
h.press("p", 0.1)
paused = h.shows(60, lambda shot: pause_line(shot) > 200, game)
t.need(paused, "P pauses: a line over the field says so")
paused.keep("paused")
t.check(paused.same(pic["shield_blue"], 150, 600) >= 0.99, "the blue shield at (150, 600)")
t.check(paused.same(pic["shield_yellow"], 650, 600) >= 0.99, "the yellow shield at (650, 600)")
t.check(player_x(paused) == 288, f"the player at the bottom, at x 288 (x {player_x(paused)})")
t.check(paused.count(WHITE, 900, 0, 124, 24) > 20, "the score text at the top right")
# Neighbouring enemies overlap by a few columns, so the grid shows a little
# less than 32 whole pictures of their colour.
per_enemy = int(h.probe("count", pic["spartan"], f"{GRID:06X}", 0, 0, 64, 56))
grid_pixels = paused.count(GRID, 0, 80, 1024, 420)
t.check(per_enemy > 0 and grid_pixels * 10 >= per_enemy * 32 * 8,
        f"all 32 enemies of the grid ({grid_pixels} pixels of their colour, {per_enemy} in one)")
# Over two seconds, more than two steps of the grid.
print(f"figure: paused, the game uses {percent(h.cpu_share(pid, 2))} % of a core")
still = h.shot()
t.check(whole(still) == whole(paused), "while paused nothing moves")
h.press("p", 0.1)
t.check(h.shows(60, lambda shot: whole(shot) != whole(still) and
                pause_line(shot) * 4 < pause_line(paused), game),
        "P again resumes: the field moves on, the line is gone")

# ---- keys in play. Left, tapped twice, stays well within the shield's
# cover even if the machine stalls each tap for a few steps.
h.xdotool(*taps("Left", 2))
moved = moved_from(288, (0, 0), game)
left_to = moved and player_x(moved)
t.check(left_to and 162 <= left_to < 288, f"tapped Left moves the player left (to x {left_to})")
# Under the shield the missile is stopped within ten steps; what shows that
# Space reached the game is the shot's sound.
h.xdotool(*taps("space", 1))
t.check(h.wait_for(60, lambda: shot_sounds(game) >= 1, alive=game),
        "a released Space fires: the shot sounds")

# ---- another program's window takes the focus, as a click on it would;
# the game comes back the way a click on its task bar button brings it.
other, other_window = h.other_window()
if t.check(other_window, "a second window to take the focus"):
    h.focus(other_window, sync=False)
    # The game reads the loss of the focus at its next step; after that the
    # grid stands, so over more than three of its steps' time it steps once
    # at most.
    away_from = grid_steps_made(game)
    share = h.cpu_share(pid, 2.5)
    away_to = grid_steps_made(game)
    print(f"figure: with another window in front, the game uses {percent(share)} % of a core")
    t.check(away_to - away_from <= 1, "losing the focus pauses the game: the grid stands "
            f"({away_to - away_from} steps in 2.5 s)")
    wine.start(checks_exe, "bring-back", "bring-back", "WINCLASS1", cwd=elsewhere).ended(within=60)
    back = h.shows(60, grid_shown, game)
    t.check(back, "on return the field is on the screen again")
    runs_on = back and h.shows(60, lambda shot: whole(shot) != whole(back), game)
    t.check(runs_on, "and the game runs on")
other.stop()
# The game has run since every tap was sent: the player stands where they
# left it.
stood = player_x(runs_on or h.shot())

# ---- Alt+Enter: to a window and back, in play
def window_place(shot):
    """The window's inside when the game shows in a window, else None."""
    place = h.geometry(game_window)
    return place if place and place != (0, 0, 1024, 768) else None


h.focus(game_window, sync=False)
h.press("alt+Return", 0.1)
windowed = h.shows(60, window_place, game)
place = windowed and window_place(windowed)
t.check(place and abs(place[2] * 3 - place[3] * 4) <= 4 and place[0] * 2 + place[2] == 1024,
        "Alt+Enter puts the game in a window, centred, its frame's shape kept", f"({place})")
if place:
    h.focus(game_window, sync=False)
    inside = lambda shot: shot.region(*place)  # noqa: E731
    drawn = h.shows(60, lambda shot: shot.count(GRID, *place) > 1000, game)
    t.check(drawn and h.shows(60, lambda shot: inside(shot) != inside(drawn), game),
            "in the window the field is drawn and play goes on")
    h.press("alt+Return", 0.1)
full = h.shows(60, lambda shot: not window_place(shot) and player_x(shot) is not None, game)
t.check(full and full.same(pic["shield_blue"], 150, 600) >= 0.99 and player_x(full) == stood,
        "Alt+Enter again: full screen, pixel for pixel, the player where it stood",
        f"(player at {full and player_x(full)}, before at {stood})")

# Paused once more: the Escape below must end the game from a pause too.
h.press("p", 0.1)
t.check(h.shows(60, lambda shot: pause_line(shot) > 200, game), "P pauses again")
h.press("Escape", 0.3)
code = game.ended(within=60)
t.check(code == 0, f"Escape (from a pause) ends the program with exit code 0 (got {code})")
t.check(shot_sounds(game) == 1, f"one Space, one shot sound ({shot_sounds(game)})")
t.check(shot_wave_read(game), "the shot sound is read from the program as a wave with its samples")
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

# ---- where the screen can't switch to 1024 x 768: a window, played with
# the keyboard and a gamepad, through a stand-in XInput beside the program
# that plays back the pad states written to a file
print("== on a screen of 1280 x 1024", flush=True)
# Wine keeps the work area of the screen it started on.
h.run("wineserver", "-k")
h.run("wineserver", "-w")
h.Screen(1280, 1024)
wine = h.Wine(root / "build-windows/wine-prefix")
padded = t.work / "padded"
shutil.copytree(unpacked, padded)
shutil.copy(root / "build-windows/tests/win32/xinput1_4.dll", padded)
pads = t.work / "pads.txt"
pads.write_text("")


def pad(buttons=0, stick_x=0):
    """Slot 0 as the test holds it now; written whole, so that no read sees
    half a file (an unplugged pad)."""
    (t.work / "pads.new").write_text(f"0 {buttons:#06x} {stick_x}\n")
    (t.work / "pads.new").replace(pads)


game = wine.start(padded / "marchfire.exe", "windowed", cwd=elsewhere,
                  env={**TRACED, "WINEDLLOVERRIDES": "xinput1_4=n",
                       "MARCHFIRE_PAD_STATES": wine.path(pads)})


def intro_inside():
    # Looked up anew each time: the window of the refused full screen may
    # go while the game opens its window.
    window = h.window_named(TITLE, 1)
    place = window and h.geometry(window)
    return (window, place) if place and h.shot().same(pic["intro"], *place[:2]) == 1.0 else None


window, place = h.wait_for(120, intro_inside, alive=game) or (None, None)
t.need(place and place[0] == 128, "full screen refused: the intro in a centred window of 1024 x 768",
       f"(its inside {place})")
h.focus(window, sync=False)
at = place[:2]
pad(0x0010)  # plugged in after the start; Start, held until play shows
play = h.shows(60, lambda shot: grid_shown(shot, at), game)
pad(stick_x=11000)  # inside the dead zone, to the right
t.check(play and player_x(play, at) == 288, "a pad plugged in after the start is seen: its Start "
        "starts play in the window", f"(player at x {play and player_x(play, at)})")
# The stick, held right inside its dead zone, must not carry the player
# right while the keys take it left.
h.xdotool(*taps("Left", 2))
moved = moved_from(288, at, game)
t.check(moved and 162 <= (player_x(moved, at) or -1) < 288,
        "keys reach the game in a window; the stick inside its dead zone moves nothing",
        f"(player at x {moved and player_x(moved, at)})")
pad(0x1000)  # A, held: nothing is fired until its release
held = h.shot()
held_sounds = shot_sounds(game)
pad()
t.check(held and held_sounds == 0 and h.wait_for(60, lambda: shot_sounds(game) == 1, alive=game),
        "A fires on its release: the shot sounds", f"({held_sounds} shots while held)")

# The stick past its dead zone, and its direction in every slot, are the
# backend checks' (pad_checks): out here it would take the player out from
# under the shield. Start is held until the pause line shows.
pad(0x0010)
paused = h.shows(60, lambda shot: pause_line(shot, at) > 200, game)
pad()
t.check(paused, "the pad's Start pauses play")
pad(0x0020)
t.check(game.ended(within=60) == 0, "Back (from a pause) ends the game with exit code 0")
t.check(shot_sounds(game) == 1, f"one A, one shot sound ({shot_sounds(game)})")
print(f"screenshots: {t.work}/shots")
t.done()
