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
  4. Alt+Enter to a window and back, in play;
  5. starts the program without its pictures: one line on standard error, a
     message box, a non-zero exit code;
  6. on a screen of 1280 x 1024, which offers no 1024 x 768 mode: the game in
     a window, played with the keyboard, then with a gamepad (a stand-in
     XInput beside the program plays back the pad states the test writes).
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


def grid_shown(shot, at=(0, 0)):
    return shot.count(GRID, at[0], at[1] + 80, 1024, 420) > 1000


def death_shown(shot, at=(0, 0)):
    # The pause line may lie across it: a tenth of its pixels.
    return shot.same(pic["dead"], at[0] + 192, at[1] + 144) >= 0.8


def player_x(shot, at=(0, 0)):
    """The player's x in the frame whose top-left corner is at `at` on screen."""
    return next((x - at[0] for x, y in shot.find(pic["game_m_modified_small"], 64, 64, 0.97)
                 if y == 704 + at[1]), None)


def grid_place(shot):
    return min(((x, y) for x, y in shot.find(pic["spartan"], 60, 56, 0.97)),
               key=lambda place: place[::-1], default=None)


def pause_line(shot):
    return shot.count(WHITE, 0, 356, 1024, 56)


def whole(shot):
    return shot.region(0, 0, 1024, 768)


deaths = 0


def back_to_play(at=(0, 0)):
    """Play goes on from wherever the enemies left it: after a death, Enter
    starts a new game; checks that meet the death picture try again."""
    global deaths
    now = h.shot()
    if not death_shown(now, at):
        return now
    deaths += 1
    now.keep(f"death-{deaths}")
    print(f"note: the game ended, the player shot or reached by the grid (death-{deaths}.png); "
          "Enter starts a new game")
    if pause_line(now) > 200:
        h.press("p", 0.1)  # the picture paused: Enter waits for the resume
    h.press("Return", 0.2)
    return h.shows(15, lambda shot: grid_shown(shot, at), game)


def move_player_to(low, high, at=(0, 0)):
    """Walks the player until it stands with x in [low, high], for up to
    30 s; where it stands. It walks by taps, which never overshoot: taps the
    game merges on a loaded machine only fall short, and the game reads one
    message a step, so a row of taps may still be moving the player after
    the last: where it stands is read once it has stopped. Only a way longer
    than 60 taps is walked with the key held until a screenshot shows the
    player past the range's near end (it runs on for a screenshot's time)."""
    deadline = time.monotonic() + 30
    x = seen_player(at)
    held = False
    while x is not None and not low <= x <= high and time.monotonic() < deadline:
        key = "Right" if x < low else "Left"
        if not held and (low - x if x < low else x - high) > 360:
            held = True
            x = held_until(key, (lambda v: v >= low) if key == "Right" else (lambda v: v <= high),
                           at)
            continue
        h.xdotool(*taps(key, min(max(abs((low + high) // 2 - x) // 6, 1), 60)))
        x = resting_player(at)
    return x


def taps(key, count):
    """xdotool's words for steps of the player: a press shorter than the
    game's poll is one step of 6 px (on a loaded machine the game may merge
    two: fewer steps). Apart by more than two of its polls."""
    return ["key", "--delay", "0", key, "sleep", "0.035"] * count


def resting_player(at=(0, 0)):
    """Where the player stands once two screenshots a fifth of a second
    apart agree, for up to 10 s; None when it is not seen."""
    def rest():
        first = seen_player(at)
        if first is None:
            return (None,)
        time.sleep(0.2)
        return first == seen_player(at) and (first,)
    found = h.wait_for(10, rest, every=0)
    return found[0] if found else None


def seen_player(at=(0, 0)):
    """Where the player stands, from the first screenshot that shows it (one
    may catch a frame half drawn)."""
    found = h.wait_for(2, lambda: [x for x in [player_x(h.shot(), at)] if x is not None], every=0.1)
    return found[0] if found else None


def held_until(key, reached, at=(0, 0)):
    """The key held until the player's x satisfies reached(x), for up to
    10 s; where the player then came to rest."""
    h.key_down(key)
    h.wait_for(10, lambda: (lambda x: x is not None and reached(x))(player_x(h.shot(), at)),
               every=0.02)
    h.key_up(key)
    return resting_player(at)


def score(shot, at=(0, 0)):
    return shot.region(900 + at[0], at[1], 124, 24)


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

def in_play(what, attempt, succeeded, at=(0, 0)):
    """attempt()'s result, from play. Standing without cover the player may
    be shot first, more often on a loaded machine: an attempt that failed
    while the player was shot (its death picture comes half a second after
    the hit, once the game's pause is over) is tried again in a new game, up
    to eight times in all, each retry said. A failure without a death is the
    result."""
    result = None
    for attempt_number in range(1, 9):
        if attempt_number > 1:
            print(f"retry: {what}, try {attempt_number} of 8: the player was shot or reached first")
        if not back_to_play(at):
            return None
        result = attempt()
        if succeeded(result) or not h.shows(3, lambda shot: death_shown(shot, at), game):
            return result
    return result


def steady_score(at=(0, 0)):
    """The score text, once two screenshots in a row agree on it (one may
    catch a frame half drawn)."""
    def read():
        text = score(h.shot(), at)
        return text if text == score(h.shot(), at) else None
    return h.wait_for(3, read, every=0.1)


def missiles(shot, x, at=(0, 0)):
    """The player's missiles in the air above it, standing at x."""
    return [y for mx, y in shot.find(pic["missile"], 8, 8, 1.0)
            if mx == at[0] + x + 26 and y < at[1] + 704]


def own_missiles(shot, at=(0, 0)):
    """The x of each of the player's missiles climbing in the lane: the
    player stands at even places, and the grid's columns at odd ones, so a
    player's missile is at an even x, an enemy's at an odd one."""
    return [x - at[0] for x, y in shot.find(pic["missile"], 8, 8, 1.0)
            if (x - at[0]) % 2 == 0 and 390 < x - at[0] < 650 and y < at[1] + 640]


def hit_from_the_lane(at=(0, 0)):
    """A missile from the lane between the shields (the player at x 365..615:
    its missile clears both), fired again after a miss. Each attempt begins
    with the player under the blue shield, where the score is read. Out in
    the lane the player is shot at, more often the longer it stands there:
    for each shot it steps out below the grid's left columns (leaving room
    for the grid's steps while the missile climbs), fires and steps back,
    in one row of taps, without waiting for a screenshot. Where the missile
    left from (None when it hit before a screenshot saw it), with which shot
    the score changed, and the score text in the screenshot that showed the
    change."""
    before = steady_score(at)
    if before is None:
        return None, None, None

    def scored(shot):
        """The score changed, and the next screenshot shows the same text
        (one may catch a frame half drawn)."""
        text = score(shot, at)
        return (text != before and shot.count(WHITE, at[0] + 900, at[1], 124, 24) > 20 and
                score(h.shot(), at) == text)

    lane_x = None
    for shot_number in (1, 2, 3):
        now = h.shot()
        grid, x = grid_place(now), player_x(now, at)
        if grid is None or x is None:
            return lane_x, None, None
        # The grid is 480 wide; a missile leaves 26 right of the player, who
        # may have taken a few steps back before the game reads the release.
        out = max(min(max(grid[0] - at[0] + 60, 420), 595) - x, 0) // 6
        h.xdotool(*taps("Right", out), "key", "space", *taps("Left", out))
        # One missile at a time, so that a change of the score is this one's
        # hit: the next is fired once this one has left the screen.
        flown = []

        def ended(shot):
            climbing = own_missiles(shot, at)
            flown.extend(climbing)
            if death_shown(shot, at) or scored(shot):
                return True
            # None climbing: it has left the screen, or it was never seen
            # and the taps are done (the player is back under the shield).
            x = player_x(shot, at)
            return not climbing and (flown or x is not None and x <= 326)
        seen = h.shows(10, ended, game)
        lane_x = flown[0] - 26 if flown else lane_x
        if seen and death_shown(seen, at):
            return lane_x, None, None
        if seen and scored(seen):
            seen.keep("hit-in-a-window" if at[0] else "hit")
            return lane_x, shot_number, score(seen, at)
        # Back under the shield, if some taps were merged.
        if not 150 <= (resting_player(at) or 0) <= 326:
            move_player_to(200, 300, at)
    return lane_x, None, None


def a_hit(result):
    return result[1] is not None


# A hit: a missile finds an enemy by the colour of the frame shown last, which
# must stay readable after the flip; the score text then changes. A game's
# first hit scores 25: its text is kept for the game in a window below.
lane_x, hit, score_25 = in_play("a hit", hit_from_the_lane, a_hit) or (None, None, None)
t.check(hit, f"a missile from x {lane_x} hits the grid and the score changes (shot {hit})")


def left_and_fire():
    """Held Left takes the player to the left edge, where no shield stands
    in the way of a shot; Space fires from there."""
    before = player_x(h.shot())
    if before is None:
        return before, None, False
    after = held_until("Left", lambda x: x == 0)  # at the edge it stands still
    if after is None or after + 100 > before:
        return before, after, False
    h.press("space", 0.15)
    # It flies for two seconds of play up to the top, from the step that
    # takes the release: a loaded machine may take it late.
    return before, after, bool(h.shows(5, lambda shot: missiles(shot, after), game))


x_before, x_moved, fired = in_play("Left and Space", left_and_fire,
                                   lambda result: result[2]) or (None, None, False)
t.check(x_moved is not None and x_moved < 100,
        f"held Left moves the player left (from x {x_before} to {x_moved})")
t.check(fired, "a released Space fires a missile upward from the player")

# ---- the pause: P, and another window taking the focus
def pause_in_play():
    """P, with the player under the blue shield, safe from the grid's fire:
    the first screenshot with the pause line, unless it lies over the death
    picture (the player was shot on the way)."""
    move_player_to(200, 280)
    h.press("p", 0.1)
    time.sleep(0.2)
    paused = h.shows(3, lambda shot: pause_line(shot) > 200, game)
    return None if paused and death_shown(paused) else paused


paused = in_play("the pause", pause_in_play, lambda shot: shot is not None)
t.check(paused and grid_shown(paused), "P pauses: a line over the field says so")
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
    h.focus(other_window, sync=False)

    def standing():
        """Where the grid stands once two screenshots a second apart agree:
        the pause has begun (in play the grid steps every 0.8 s at most)."""
        first = grid_place(h.shot())
        time.sleep(1)
        return first if first and first == grid_place(h.shot()) else None
    away_from = h.wait_for(10, standing)
    share = h.cpu_share(pid, 4)
    away_to = grid_place(h.shot())
    print(f"figure: with another window in front, the game uses {percent(share)} % of a core")
    wine.start(checks_exe, "bring-back", "bring-back", "WINCLASS1", cwd=elsewhere).ended(within=60)
    back = h.shows(10, lambda shot: shot.count(GRID, 0, 60, 1024, 440) > 1000, game)
    t.check(share is not None and share <= 5,
            f"losing the focus pauses the game ({percent(share)} % of a core while away)")
    t.check(away_from and away_to == away_from,
            f"the grid stood still while away (from {away_from} to {away_to})")
    t.check(back, "on return the field is on the screen again")
    time.sleep(0.2)
    t.check(back and h.shows(4, lambda shot: whole(shot) != whole(back), game), "and the game runs on")
other.stop()

# ---- Alt+Enter: to a window and back, in play
def window_place(shot):
    """The window's inside when the game shows in a window, else None."""
    place = h.geometry(game_window)
    return place if place and place != (0, 0, 1024, 768) else None


def steps(start, end):
    """The grid's steps between two of its places: 20 pixels across, or a
    drop of 25 at a turn."""
    return abs(end[0] - start[0]) // 20 + abs(end[1] - start[1]) // 25


def switched_twice():
    """Alt+Enter to a window and back, from play, the player under the blue
    shield: the window's inside, whether the field was drawn in it and play
    went on, the first screenshot back in full screen, the grid's place
    before and in that screenshot, and the seconds between. The grid marches
    lower all game long, and on a loaded machine the test comes here late
    in its game: a grid that is already low is let reach the player first,
    and the switches are tried in a new game."""
    low = grid_place(h.shot())
    if low and low[1] >= 250:
        print(f"note: the grid is low (at y {low[1]}); its march ends this game first")
        h.shows(180, death_shown, game)
        return {}
    h.focus(game_window, sync=False)
    if move_player_to(200, 280) is None:
        return {}
    started, marched_from = time.monotonic(), grid_place(h.shot())
    h.press("alt+Return", 0.1)
    windowed = h.shows(10, window_place, game)
    place = windowed and window_place(windowed)
    goes_on = False
    if place:
        h.focus(game_window, sync=False)
        inside = lambda shot: shot.region(*place)  # noqa: E731
        drawn = h.shows(4, lambda shot: shot.count(GRID, *place) > 1000, game)
        goes_on = bool(drawn and h.shows(4, lambda shot: inside(shot) != inside(drawn), game))
        h.press("alt+Return", 0.1)
    # The death picture ends the wait: the player was shot meanwhile.
    full = h.shows(10, lambda shot: not window_place(shot) and
                   (player_x(shot) is not None or death_shown(shot)), game)
    return dict(place=place, goes_on=goes_on, full=full, marched_from=marched_from,
                marched_to=full and grid_place(full), seconds=time.monotonic() - started)


def switched_back(result):
    return (result.get("goes_on") and result["full"] and not death_shown(result["full"]) and
            player_x(result["full"]) is not None)


switch = in_play("Alt+Enter", switched_twice, switched_back) or {}
place, full = switch.get("place"), switch.get("full")
marched_from, marched_to = switch.get("marched_from"), switch.get("marched_to")
t.check(place and abs(place[2] * 3 - place[3] * 4) <= 4 and place[0] * 2 + place[2] == 1024,
        "Alt+Enter puts the game in a window, centred, its frame's shape kept", f"({place})")
t.check(switch.get("goes_on"), "in the window the field is drawn and play goes on")
t.check(switched_back(switch) and full.same(pic["shield_blue"], 150, 600) >= 0.99,
        "Alt+Enter again: full screen, pixel for pixel", f"(player at {full and player_x(full)})")
# The game's clock stands still while the display is rebuilt: across two
# switches the grid makes no more steps than the time played allows (one
# every 0.8 s in the first wave).
seconds = switch.get("seconds", 0)
t.check(None not in (marched_from, marched_to) and steps(marched_from, marched_to) <= seconds / 0.8 + 1,
        f"the grid made only the steps it owed ({marched_from} to {marched_to} in {seconds:.1f} s)")

# Paused once more: the Escape below must end the game from a pause too.
h.press("p", 0.1)
(h.shows(5, lambda shot: pause_line(shot) > 200, game) or h.shot()).keep("paused-at-end")
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

# ---- where the screen can't switch to 1024 x 768: a window
print("== on a screen of 1280 x 1024", flush=True)
# Wine keeps the work area of the screen it started on.
h.run("wineserver", "-k")
h.run("wineserver", "-w")
h.Screen(1280, 1024)
wine = h.Wine(root / "build-windows/wine-prefix")


def start_in_window(name, folder=unpacked, **kwargs):
    """The game started where full screen is refused: it and its window's
    inside, once the intro shows there pixel for pixel."""
    program = wine.start(folder / "marchfire.exe", name, cwd=elsewhere, **kwargs)

    def intro_inside():
        # Looked up anew each time: the window of the refused full screen
        # may go while the game opens its window.
        window = h.window_named("DirectDraw 24-Bit Bitmap Loading", 1)
        place = window and h.geometry(window)
        return (window, place) if place and h.shot().same(pic["intro"], *place[:2]) == 1.0 else None
    window, place = h.wait_for(120, intro_inside, alive=program) or (None, None)
    if place:
        h.focus(window, sync=False)
    return program, place


game, place = start_in_window("windowed")
t.need(place and place[0] == 128, "full screen refused: the intro in a centred window of 1024 x 768",
       f"(its inside {place})")
at = place[:2]
h.press("Return", 0.2)
play = h.shows(15, lambda shot: grid_shown(shot, at), game)
t.check(play and player_x(play, at) == 288, "Enter starts play in the window")
lane_x, hit, score_then = in_play("a hit in the window", lambda: hit_from_the_lane(at), a_hit,
                                  at) or (None, None, None)
t.check(hit and score_25 and score_then == score_25, "a hit scores 25, as in full screen",
        f"(from x {lane_x}, shot {hit})")
t.check(h.held_until_end("Escape", game, 60) == 0, "Escape ends the game in a window with exit code 0")
game.stop()

# ---- a gamepad, through a stand-in XInput beside the program that plays
# back the pad states written to a file
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


game, place = start_in_window("pad", padded, env={"WINEDLLOVERRIDES": "xinput1_4=n",
                                          "MARCHFIRE_PAD_STATES": wine.path(pads)})
t.need(place, "the game with a pad's stand-in starts", f"(its inside {place})")
at = place[:2]
pad()  # plugged in after the start
time.sleep(2)  # empty slots are asked about once a second
pad(0x0010)  # Start, held until play shows: on a picture it is Enter
play = h.shows(15, lambda shot: grid_shown(shot, at), game)
pad()
t.check(play, "a pad plugged in after the start is seen: its Start starts play")
pad(stick_x=-30000)
left = h.shows(30, lambda shot: player_x(shot, at) == 0, game)
pad(stick_x=11000)  # inside the dead zone
time.sleep(0.5)
resting = h.shot()
t.check(left and player_x(resting, at) == 0, "the stick moves the player, past its dead zone only",
        f"(held left: {'at x 0' if left else 'not at x 0 in 30 s'}; then at x {player_x(resting, at)}"
        f"{', shot' if death_shown(resting, at) else ''})")
pad(0x1000)
time.sleep(0.5)
held = missiles(h.shot(), 0, at)  # at the left edge, where no shield is in the way
pad()
fired = h.shows(3, lambda shot: missiles(shot, 0, at), game)
t.check(not held and fired and len(missiles(fired, 0, at)) == 1, "A fires once, on its release",
        f"({held} while held, then {fired and missiles(fired, 0, at)})")
pad(0x0008)  # right, held until the player has moved
moved = h.shows(30, lambda shot: (player_x(shot, at) or 0) > 0, game)
pad()
moved_to = moved and player_x(moved, at)
t.check(moved_to and moved_to > 0, f"the D-pad moves the player (to x {moved_to})")
pad(0x0020)
t.check(game.ended(within=30) == 0, "Back ends the game with exit code 0")
print(f"screenshots: {t.work}/shots")
t.done()
