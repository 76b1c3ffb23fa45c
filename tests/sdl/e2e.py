#!/usr/bin/python3
"""The real program under Xvfb with real key events: what a player sees and
hears. The pictures are taken from beside the program. Every wait polls with
a generous bound and every key is held for a realistic time, so a slow,
loaded machine passes too.

    e2e.py PROGRAM
"""
import shutil
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "desktop"))
import harness as h  # noqa: E402

program = Path(sys.argv[1]).resolve()
t = h.Test("e2e")
t.need_tools("Xvfb", "xdotool", "import", "convert")
h.Screen()
pic = {name: h.picture(program.parent / f"{name}.bmp") for name in
       ("intro", "game_m_modified_small", "shield_blue", "shield_yellow", "spartan", "missile")}


def intro_shown(shot):
    return shot.same(pic["intro"], 0, 0) >= 0.99


def player_x(shot):
    return next((x for x, y in shot.find(pic["game_m_modified_small"], 64, 64, 0.97) if y == 704),
                None)


def play_field_shown(shot):
    return (len(shot.find(pic["spartan"], 60, 56, 0.97)) == 32 and
            shot.same(pic["shield_blue"], 150, 600) >= 0.99 and
            shot.same(pic["shield_yellow"], 650, 600) >= 0.99 and player_x(shot) == 288 and
            shot.count(0xFFFFFF, 924, 0, 100, 20) >= 20)


def player_moved_from(x_before):
    """The player's new x, seen within 5 s, as [x]; None when it stayed."""
    return h.wait_for(5, lambda: [x for x in [player_x(h.shot())] if x not in (None, x_before)])


def missile_rising(x):
    first = [my for mx, my in h.shot().find(pic["missile"], 8, 8) if mx == x and my < 704]
    if not first:
        return False
    time.sleep(0.1)
    second = [my for mx, my in h.shot().find(pic["missile"], 8, 8) if mx == x]
    # Gone off the top in between also counts as rising.
    return second[0] < first[0] if second else first[0] < 300


# ---- a whole short game, with the sound written to a file
sound = t.work / "sound.raw"
game = h.Program([program], "play", env={"SDL_AUDIODRIVER": "disk",
                                         "SDL_DISKAUDIOFILE": str(sound)})
t.need(h.shows(60, intro_shown, game), "the intro fills the screen")
sound_before_enter = sound.stat().st_size if sound.exists() else 0
h.press("Return")
t.need(h.shows(30, play_field_shown, game),
       "Enter shows the play field: 32 enemies, both shields, the player at 288, white score text")

# Under the blue shield the player is safe; at the left edge too, for the
# half-minute the grid needs to march there. Go there first.
h.key_down("Left")
at_edge = h.shows(30, lambda shot: player_x(shot) == 0, game)
h.key_up("Left")
t.need(at_edge, "held Left brings the player to the left edge")
h.press("Right")
moved = player_moved_from(0)
t.need(moved, f"held Right moves the player right (to {moved and moved[0]})")

# Taps shorter than a step of play (12 ms; a step is 15) each move the
# player: Right and Left in turn, so that it stays where it is safe.
x = moved[0]
for tap in range(10):
    h.press("Left" if tap % 2 else "Right", 0.012)
    moved = player_moved_from(x)
    t.need(moved, f"tap {tap + 1} (12 ms) moves the player from {x}")
    x = moved[0]

rose = any(h.press("space", 0.12) or missile_rising(x + 26) for _ in range(3))
t.need(rose, "a missile rises from the player after Space is released")
loudest = int(h.probe("loud", sound, sound_before_enter))
t.need(loudest >= 1000, f"the sound after Enter is not silent (largest sample {loudest})")
t.need(h.held_until_end("Escape", game, 1) == 0,
       "Escape ends the program with exit code 0 within a second")

# ---- no sound device at all: the game still starts, and Escape on the intro ends it
game = h.Program([program], "silent", env={"SDL_AUDIODRIVER": "no-such-driver"})
t.need(h.shows(60, intro_shown, game) and h.held_until_end("Escape", game, 1) == 0,
       "without a sound device the intro comes, and Escape ends the game with 0")

# ---- a sprite file missing: the program says which, and fails
missing, elsewhere = t.work / "missing", t.work / "elsewhere"
missing.mkdir()
elsewhere.mkdir()
for file in [program, *program.parent.glob("*.bmp")]:
    if file.name != "spartan.bmp":
        shutil.copy(file, missing)
game = h.Program([missing / program.name], "missing", cwd=elsewhere)
code = game.ended(within=30)
t.need(code not in (None, 0) and "spartan.bmp" in game.stderr(),
       f"with spartan.bmp missing the program ends with code {code} and names the file")
t.done()
