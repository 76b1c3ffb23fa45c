#!/usr/bin/python3
"""Takes the pictures of the game shown in README.md, the intro and the play
field, from the real program on a virtual 1024 x 768 screen:

    /usr/bin/python3 scripts/screenshots.py    writes docs/intro.png and docs/play-field.png

MARCHFIRE_BUILD_DIR chooses the build folder (build by default).
"""
import os
import subprocess
import sys
import time
from pathlib import Path

root = Path(__file__).resolve().parents[1]
os.chdir(root)
subprocess.run(["bash", "scripts/install-deps.sh", "build", "sdl", "assets"], check=True)
build = root / os.environ.get("MARCHFIRE_BUILD_DIR", "build")
subprocess.run(["cmake", "-S", ".", "-B", build, "-DCMAKE_BUILD_TYPE=RelWithDebInfo"], check=True,
               stdout=subprocess.DEVNULL)
subprocess.run(["cmake", "--build", build, "-j2", "--target", "marchfire", "screen_probe"], check=True)
os.environ["MARCHFIRE_SCREEN_PROBE"] = str(build / "bin/screen_probe")
sys.path.insert(0, str(root / "tests/desktop"))
import harness as h  # noqa: E402

t = h.Test("screenshots")
h.Screen()
intro, player = h.picture(build / "bin/intro.bmp"), h.picture(build / "bin/game_m_modified_small.bmp")
# A moment of play: out from behind the shield, two shots on their way. An
# enemy missile may end that moment; then the next game is pictured.
for attempt in range(1, 6):
    game = h.Program([build / "bin/marchfire"], "game", env={"SDL_AUDIODRIVER": "dummy"})
    shown = h.shows(60, lambda shot: shot.same(intro, 0, 0) >= 0.99, game)
    t.need(shown, "the intro comes")
    h.run("convert", shown.path, "docs/intro.png")
    h.press("Return")
    time.sleep(1.5)
    h.press("Right", 0.3)
    h.press("space", 0.1)
    time.sleep(0.5)
    h.press("space", 0.1)
    time.sleep(0.3)
    field = h.shot()
    pictured = any(y == 704 for _, y in field.find(player, 64, 64, 0.97))
    if pictured:
        h.run("convert", field.path, "docs/play-field.png")
    t.need(h.held_until_end("Escape", game, 5) == 0, "Escape ends the game")
    if pictured:
        print("wrote docs/intro.png and docs/play-field.png")
        t.done()
    print(f"attempt {attempt}: the player was hit before the picture; again")
t.need(False, "a picture of the play field in five games")
