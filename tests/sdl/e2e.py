#!/usr/bin/python3
"""The real program under Xvfb with real key events: what a player sees and
hears. The pictures are taken from beside the program. Every wait polls with
a generous bound and every key is held for a realistic time, so a slow,
loaded machine passes too.

    e2e.py PROGRAM
"""
import shutil
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "desktop"))
import harness as h  # noqa: E402

program = Path(sys.argv[1]).resolve()
t = h.Test("e2e")
t.need_tools("Xvfb", "xdotool", "import", "convert")
h.Screen()
pic = {name: h.picture(program.parent / f"{name}.bmp") for name in
       ("intro", "dead", "game_m_modified_small", "shield_blue", "shield_yellow", "spartan",
        "missile")}


class PlayerShot(Exception):
    """An enemy missile hit the player: the game's chance, not a wrong result."""


def intro_shown(shot):
    return shot.same(pic["intro"], 0, 0) >= 0.99


def death_shown(shot):
    return shot.same(pic["dead"], 192, 144) >= 0.99


def player_x(shot):
    """Searched for in the player's own row only: a search of the whole screen
    takes seconds on a loaded machine, time the grid does not give."""
    row = shot.path.with_suffix(".row.ppm")
    row.write_bytes(b"P6 1024 64 255\n" + shot.region(0, 704, 1024, 64))
    return next((x for x, y in h.Shot(row).find(pic["game_m_modified_small"], 64, 64, 0.97)), None)


def field(shot):
    """Everything above the player's row: falling missiles and the grid's
    steps change it as the game runs."""
    return shot.region(0, 0, 1024, 704)


def play_field_shown(shot, player_at=None):
    x = player_x(shot)
    return (len(shot.find(pic["spartan"], 60, 56, 0.97)) == 32 and
            shot.same(pic["shield_blue"], 150, 600) >= 0.99 and
            shot.same(pic["shield_yellow"], 650, 600) >= 0.99 and x is not None and
            player_at in (None, x) and shot.count(0xFFFFFF, 924, 0, 100, 20) >= 20)


# Where the player, 64 wide, lies wholly under the blue shield (150..390) and
# moves in steps of 6 from 0.
safe_x = (162, 324)


def seen(test, seconds=10):
    """A shot for which test holds; PlayerShot when the death picture came instead."""
    dead = []

    def look(shot):
        if test(shot):
            return True
        dead.append(death_shown(shot))
        return dead[-1]
    found = h.shows(seconds, look, game)
    if found and dead and dead[-1]:
        raise PlayerShot()
    return found


def player_moved_from(x_before):
    """The player's place once a move from x_before is over, as [x]; None when
    it stays. A short tap may still be taking its last step in the shot that
    first shows the move: the place is read from a shot two changes of the
    field later, so that the game has run on past the key."""
    later = seen(lambda shot: player_x(shot) not in (None, x_before))
    for _ in range(2):
        if not later:
            return None
        before = field(later)
        later = seen(lambda shot: field(shot) != before)
    return later and [player_x(later)]


def muzzle_missile(shot):
    """A missile just above the player's muzzle, both read from this one shot."""
    x = player_x(shot)
    return next(((mx, my) for mx, my in shot.find(pic["missile"], 8, 8)
                 if x is not None and mx == x + 26 and my < 704), None)


def missile_rises():
    """Space released, a missile is seen above the muzzle (it starts level with
    the player and only rises), and a later shot no longer shows it there: it
    went on up, faster than a loaded machine may take shots. (True, "") or
    (False, why)."""
    h.press("space", 0.12)
    first = seen(muzzle_missile, 3)
    if not first:
        return False, "no missile above the muzzle"
    place = muzzle_missile(first)
    moved_on = seen(lambda shot: place not in shot.find(pic["missile"], 8, 8))
    return bool(moved_on), f"the missile stays at {place}"


def walk_under_shield(x):
    """Held Right or Left, at most five times, until the player lies under the
    blue shield: its place then, or None."""
    for _ in range(5):
        if safe_x[0] <= x <= safe_x[1]:
            return x
        middle = sum(safe_x) // 2
        h.press("Right" if x < middle else "Left", abs(middle - x) / 400)  # 400 px/s
        x = (player_moved_from(x) or [x])[0]
    return x if safe_x[0] <= x <= safe_x[1] else None


def play():
    """From the play field: the moves, a shot and the taps; PlayerShot when an
    enemy missile ends the game first."""
    # At the left edge the player is safe for the half-minute the grid needs
    # to march there: go there first, and fire from there.
    h.key_down("Left")
    at_edge = seen(lambda shot: player_x(shot) == 0, 30)
    h.key_up("Left")
    t.need(at_edge, "held Left brings the player to the left edge")
    h.press("Right")
    moved = player_moved_from(0)
    t.need(moved, f"held Right moves the player right (to {moved and moved[0]})")
    # An enemy missile just above the muzzle can take the player's before a
    # shot sees it: that is the game's chance, and Space is pressed again, at
    # most twice, saying so.
    for attempt in range(1, 4):
        rose, why = missile_rises()
        if rose or attempt == 3 or why != "no missile above the muzzle":
            break
        print(f"again: {why}; Space once more (try {attempt + 1} of 3)", flush=True)
    t.need(rose, "a missile rises from the player after Space is released", why)

    # Under the blue shield no enemy missile can reach the player (one whose
    # left edge lies in 151..389 stops at the shield): the taps are tried
    # there, however long a loaded machine makes them take.
    x = walk_under_shield(moved[0])
    t.need(x, f"the player walks under the blue shield (to {x})")

    # Taps shorter than a step of play (12 ms; a step is 15) each move the
    # player: Right and Left in turn, so that it stays where it is safe.
    for tap in range(10):
        right = tap % 2 == 0
        h.press("Right" if right else "Left", 0.012)
        moved = player_moved_from(x)
        t.need(moved and (moved[0] > x) == right,
               f"tap {tap + 1} (12 ms) moves the player {'right' if right else 'left'} from {x}"
               f" (to {moved and moved[0]})")
        x = moved[0]
        if not safe_x[0] <= x <= safe_x[1]:
            # The machine held the key long past 12 ms: back, before the grid comes.
            print(f"again: tap {tap + 1} took the player out from under the shield", flush=True)
            x = walk_under_shield(x)
            t.need(x, "the player walks back under the shield")


# ---- a whole short game, with the sound written to a file
sound = t.work / "sound.raw"
game = h.Program([program], "play", env={"SDL_AUDIODRIVER": "disk",
                                         "SDL_DISKAUDIOFILE": str(sound)})
t.need(h.shows(60, intro_shown, game), "the intro fills the screen")
sound_before_enter = sound.stat().st_size if sound.exists() else 0
h.press("Return")
t.need(h.shows(30, lambda shot: play_field_shown(shot, 288), game),
       "Enter shows the play field: 32 enemies, both shields, the player at 288, white score text")
# The player can be shot before the checks are through: a new game from the
# death picture plays them again, at most twice, and says so.
for game_number in range(1, 4):
    try:
        play()
        break
    except PlayerShot:
        if game_number == 3:
            t.need(False, "the player lives through the checks of play in one of 3 games")
        print(f"again: the player was shot meanwhile; Enter for game {game_number + 1} of 3",
              flush=True)
        h.press("Return")
        # A new game keeps the player where it was.
        t.need(h.shows(30, play_field_shown, game), "Enter at the death picture starts play again")
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
