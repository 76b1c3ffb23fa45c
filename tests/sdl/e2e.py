#!/usr/bin/python3
"""The real program under Xvfb with real key events: what a player sees and
hears. The pictures are taken from beside the program, the sound from SDL's
disk driver. Nothing here depends on the enemies' fire or on how fast the
machine runs: the player never leaves the blue shield's cover, and every
wait is for something the game is bound to do.

    e2e.py PROGRAM CUE_SAMPLES
"""
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "desktop"))
import harness as h  # noqa: E402

program, cue_samples = (Path(arg).resolve() for arg in sys.argv[1:3])
t = h.Test("e2e")
t.need_tools("Xvfb", "xdotool", "import", "convert")
h.Screen()
pic = {name: h.picture(program.parent / f"{name}.bmp") for name in
       ("intro", "game_m_modified_small", "shield_blue", "shield_yellow", "spartan")}
# The shot's first 1024 samples, as the device is given them: a shot that
# plays lies in the recording byte for byte.
shot_start = subprocess.run([cue_samples, "108"], stdout=subprocess.PIPE).stdout[:2048]
t.need(len(shot_start) == 2048, "the shot cue's samples are at hand")


def player_x(shot):
    """Searched for in the player's own row only: the whole screen takes
    seconds on a loaded machine."""
    row = shot.path.with_suffix(".row.ppm")
    row.write_bytes(b"P6 1024 64 255\n" + shot.region(0, 704, 1024, 64))
    return next((x for x, y in h.Shot(row).find(pic["game_m_modified_small"], 64, 64, 0.97)), None)


def field(shot):
    """Everything above the player's row: the grid's steps change it."""
    return shot.region(0, 0, 1024, 704)


def settled_x():
    """The player's place once the last key has had its whole effect: read
    from the second change of the field after a shot taken once the key was
    let go. That frame's step began after the one that drew the first
    change, so its poll saw the key up. The grid steps every 0.8 s of play,
    so the field is bound to change."""
    later = h.shot()
    for _ in range(2):
        before = field(later)
        later = h.shows(120, lambda shot, before=before: field(shot) != before, game)
        if not later:
            return None
    return player_x(later)


# Missiles may cover a little of a shield: up to 15 enemy ones of 8 x 8.
def play_field_shown(shot):
    return (len(shot.find(pic["spartan"], 60, 56, 0.97)) == 32 and
            shot.same(pic["shield_blue"], 150, 600) >= 0.95 and
            shot.same(pic["shield_yellow"], 650, 600) >= 0.95 and player_x(shot) == 288 and
            shot.count(0xFFFFFF, 924, 0, 100, 20) >= 20)


# ---- a game, with the sound written to a file
sound = t.work / "sound.raw"
game = h.Program([program], "play", env={"SDL_AUDIODRIVER": "disk",
                                         "SDL_DISKAUDIOFILE": str(sound)})
t.need(h.shows(120, lambda shot: shot.same(pic["intro"], 0, 0) >= 0.99, game),
       "the intro fills the screen")
heard_before_play = sound.stat().st_size if sound.exists() else 0
# Space let go of twice on the intro: both releases wait in the queue, and
# the loop takes one message per pass. The first pass of play also makes the
# grid's first step, whose march cue cuts the first shot's cue off; the
# second shot comes one pass later, 0.8 s of play before the next step, and
# sounds whole.
h.press("space", 0.05)
h.press("space", 0.05)
h.press("Return")
t.need(h.shows(120, play_field_shown, game),
       "Enter shows the play field: 32 enemies, both shields, the player at 288, the score")

# The player stands under the blue shield, where no enemy missile reaches it
# (162..324). A press longer than it lasts moves it a step every 15 ms: each
# is held for at most a quarter of the steps left to the span's end, so that
# a key let go of late still leaves the player there.
safe = (162, 324)


def move(key, seconds, what, x):
    steps_left = ((safe[1] - x) if key == "Right" else (x - safe[0])) // 6
    h.press(key, min(seconds, steps_left * 0.015 / 4))
    moved = settled_x()
    t.need(moved is not None and (moved > x if key == "Right" else moved < x),
           f"{what} {key} moves the player {key.lower()} from {x} (to {moved})")
    return moved


x = move("Left", 0.1, "held", 288)
x = move("Right", 0.1, "held", x)
x = move("Left" if x > sum(safe) // 2 else "Right", 0.012, "a 12 ms tap of", x)
t.need(h.held_until_end("Escape", game, 60) == 0, "Escape ends the program with exit code 0")

played = sound.read_bytes()[heard_before_play:]
t.need(shot_start in played, "Space let go of reaches the game: the shot cue was played",
       f"({len(played)} bytes played after the intro came)")
t.done()
