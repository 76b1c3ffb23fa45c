#!/usr/bin/python3
"""The pause of the real program under Xvfb, driven as a player would:
another window takes the focus, the focus comes back, P, and Escape while
paused. The grid's place is read from screenshots (where the enemies are).

    pause_e2e.py PROGRAM
"""
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "desktop"))
import harness as h  # noqa: E402

program = Path(sys.argv[1]).resolve()
t = h.Test("pause")
t.need_tools("Xvfb", "xdotool", "import", "convert", "xmessage")
h.Screen()
intro, spartan = (h.picture(program.parent / f"{name}.bmp") for name in ("intro", "spartan"))


def grid_place(shot):
    """The top-left enemy of the grid: it moves with every step."""
    return min(((y, x) for x, y in shot.find(spartan, 60, 56, 0.97)), default=None)


def marches_from(shot):
    """From its place in the shot, the grid moves: it steps every 0.8 s of play."""
    start = grid_place(shot)
    return start is not None and h.shows(120, lambda later: grid_place(later) not in (None, start),
                                         game)


def holds_from(shot):
    """From its place in the shot, the grid makes at most one step in the next
    2 s, in which a running grid makes two: the step under way when the pause
    came may still end, since the game's clock stood still, not the step."""
    before = grid_place(shot)
    time.sleep(2)
    after = grid_place(h.shot())
    if before is None or after is None:
        return False
    (y, x), (later_y, later_x) = before, after
    return (later_y, abs(later_x - x)) in ((y, 0), (y, 20)) or (later_y, later_x) == (y + 25, x)


def white_in_line_band(shot):
    band = shot.region(0, 450, 1024, 60)
    return sum(band[i:i + 3] == b"\xff\xff\xff" for i in range(0, len(band), 3))


def pause_holds():
    shot = h.shows(120, lambda shot: white_in_line_band(shot) >= 200, game)
    return shot and holds_from(shot)


def play_marches():
    shot = h.shows(120, lambda shot: white_in_line_band(shot) < 50, game)
    return shot and marches_from(shot)


# No sound device at all: the game plays on without sound.
game = h.Program([program], "game", env={"SDL_AUDIODRIVER": "no-such-driver"})
t.need(h.shows(120, lambda shot: shot.same(intro, 0, 0) >= 0.99, game),
       "with no sound device the intro fills the screen")
game_window = h.window_named("Marchfire")
t.need(game_window, "the window is titled Marchfire")
# With no window manager, give the game the focus as a desktop would.
h.focus(game_window)
h.press("Return")
play = h.shows(120, lambda shot: len(shot.find(spartan, 60, 56, 0.97)) >= 30, game)
t.need(play and marches_from(play), "Enter starts play, and the grid marches")

other, other_window = h.other_window()
t.need(other_window, "another window appears")
h.focus(other_window)
t.need(pause_holds(), "focus elsewhere: the pause line shows and the grid stands still")
h.focus(game_window)
t.need(play_marches(), "focus back: the line goes and the grid marches on")

h.press("p", 0.1)
paused = h.shows(120, lambda shot: white_in_line_band(shot) >= 200, game)
# The focus leaving and coming back does not end a pause the player chose.
h.focus(other_window)
h.focus(game_window)
t.need(paused and holds_from(paused), "P pauses, and the pause outlasts a change of focus")
h.press("p", 0.1)
t.need(play_marches(), "P again resumes")

h.press("p", 0.1)
t.need(h.shows(120, lambda shot: white_in_line_band(shot) >= 200, game) and
       h.held_until_end("Escape", game, 60) == 0,
       "Escape while paused ends the program with exit code 0")
t.done()
