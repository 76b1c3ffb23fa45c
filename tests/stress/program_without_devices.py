#!/usr/bin/python3
"""The desktop program where its devices or files fail it.

    program_without_devices.py no-display   PROGRAM IMAGE_DIR
    program_without_devices.py unfit-sprite PROGRAM IMAGE_DIR

no-display: with no X, no Wayland and no SDL_VIDEODRIVER the program must
refuse to start with one line saying so and a non-zero code, rather than
play on an invisible screen and wait for ever for a key.
unfit-sprite: a missing, truncated, empty, foreign-depth or lying
"spartan.bmp" beside the real program ends the start with a line naming
the file. (No sound device is played through in the SDL pause test.)
"""
import os
import shutil
import struct
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "desktop"))
import harness as h  # noqa: E402

check, program, images = sys.argv[1], Path(sys.argv[2]), Path(sys.argv[3])
t = h.Test("devices")
game_dir, elsewhere = t.work / "game", t.work / "elsewhere"
game_dir.mkdir()
elsewhere.mkdir()
for file in [program, *images.glob("*.bmp")]:
    shutil.copy(file, game_dir)


def start(what):
    """The copy beside its pictures, from another folder, for at most 60 s:
    its exit code (None while it still runs) and its own lines on standard
    error (libraries may add theirs)."""
    game = h.Program([game_dir / program.name], what, cwd=elsewhere)
    code = game.ended(within=60)
    game.stop()
    return code, [line for line in game.stderr().splitlines() if line.startswith("marchfire: ")]


if check == "no-display":
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"):
        os.environ.pop(name, None)
    os.environ["SDL_AUDIODRIVER"] = "dummy"
    code, lines = start("no-display")
    t.check(code is not None and 0 < code < 128 and len(lines) == 1 and
            "display" in lines[0].lower(),
            f"with no display the program refuses to start with one line (code {code}, {lines})")
else:
    os.environ.update(SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy")
    good = (images / "spartan.bmp").read_bytes()
    unfit = {
        "missing": None,
        "truncated": good[:len(good) // 2],
        "zero-size": b"",
        "32-bit": good[:28] + struct.pack("<H", 32) + good[30:],
        "1-bit": good[:28] + struct.pack("<H", 1) + good[30:],
        "negative-height": good[:22] + struct.pack("<i", -56) + good[26:],
        "oversized-size-field": good[:34] + struct.pack("<I", len(good) + 4096) + good[38:],
    }
    for kind, data in unfit.items():
        (game_dir / "spartan.bmp").unlink(missing_ok=True)
        if data is not None:
            (game_dir / "spartan.bmp").write_bytes(data)
        code, lines = start(kind)
        t.check(code is not None and 0 < code < 124 and len(lines) == 1 and
                "spartan.bmp" in lines[0] and not lines[0].startswith("marchfire: marchfire:"),
                f"{kind} spartan.bmp: code {code}, one line naming the file: {lines}")
t.done()
