#!/usr/bin/python3
"""The game as a player gets it: installed with `cmake --install`, and from
the Debian package, started by the command its menu entry runs; the package
held to the distribution's own checks.

    install_test.py BUILD_DIR
"""
import gzip
import os
import re
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "desktop"))
import harness as h  # noqa: E402

build = Path(sys.argv[1]).resolve()
t = h.Test("install")
t.need_tools("Xvfb", "xdotool", "import", "convert", "dpkg-deb", "cpack", "lintian",
             "appstreamcli", "desktop-file-validate", "lexgrog", "man")
h.Screen()
images = sorted(build.glob("bin/*.bmp"))
t.need(len(images) == 11, f"the 11 pictures are in {build}/bin ({len(images)} found)")
intro = h.picture(build / "bin/intro.bmp")


def plays(command, name, folder=None, expected_intro=intro):
    """Started from a folder (by default one without pictures), the intro
    comes and Escape ends the game with 0."""
    folder = folder or t.work / "nowhere"
    folder.mkdir(exist_ok=True)
    game = h.Program([command], name, cwd=folder)
    return bool(h.shows(60, lambda shot: shot.same(expected_intro, 0, 0) >= 0.99, game) and
                h.held_until_end("Escape", game, 10) == 0)


def pictures_in(data_folder, program):
    """Every picture in the game's data folder, and none beside the program."""
    return all((data_folder / image.name).is_file() and not (program.parent / image.name).exists()
               for image in images)


def runs(*command):
    code, out = h.run(*command)
    if code != 0:
        print(out)
    return code == 0


# ---- cmake --install into a prefix of its own
prefix = t.work / "prefix"
t.need(runs("cmake", "--install", build, "--prefix", prefix), "cmake --install")
t.check((prefix / "games/marchfire").is_file() and
        (prefix / "bin/marchfire").resolve() == (prefix / "games/marchfire").resolve() and
        pictures_in(prefix / "share/games/marchfire", prefix / "games/marchfire") and
        (prefix / "share/man/man6/marchfire.6.gz").is_file(),
        "cmake --install: games/marchfire, bin/marchfire leading to it, the pictures in "
        "share/games/marchfire, the manual page")
# The program looks for its pictures relative to itself, and bin/'s link is
# relative too: one start proves both.
prefix.rename(t.work / "moved")
t.check(plays(t.work / "moved/bin/marchfire", "moved"),
        "cmake --install: the command on bin/ plays, also once the installation is moved")

# ---- the Debian package
t.need(runs("cpack", "--config", build / "CPackConfig.cmake", "-G", "DEB", "-B", t.work / "package"),
       "cpack makes the package")
debs = list(t.work.glob("package/marchfire_*.deb"))
t.need(len(debs) == 1, "cpack made one marchfire .deb", debs)
deb = debs[0]
version = h.run("dpkg-deb", "-f", deb, "Version")[1].strip()
t.check("libsdl2-2.0-0" in h.run("dpkg-deb", "-f", deb, "Depends")[1], "it depends on SDL2")
# Nothing above information; a failure of lintian's own fails too.
code, out = h.run("lintian", "--allow-root", "--tag-display-limit", "0", "--display-info",
                  "--pedantic", deb)
t.check(code == 0 and not re.search(r"^[EW]: ", out, re.M),
        "lintian: no error and no warning", f"(exit {code})\n{out}")

root = t.work / "root"
t.need(runs("dpkg-deb", "-x", deb, root), "the package unpacks")
program = root / "usr/games/marchfire"
t.check(program.is_file() and not program.is_symlink() and not (root / "usr/bin").exists() and
        pictures_in(root / "usr/share/games/marchfire", program),
        "the program is in /usr/games, nothing in /usr/bin, the pictures in the data folder")

entry = root / "usr/share/applications/marchfire.desktop"
entry_text = entry.read_text() if entry.is_file() else ""
icon = re.search(r"^Icon=(.*)$", entry_text, re.M)
code, out = h.run("desktop-file-validate", entry)
t.check(re.search(r"^Categories=.*\bGame;", entry_text, re.M) and code == 0 and
        "warning" not in out.lower() and icon and
        list(root.glob(f"usr/share/icons/hicolor/*/apps/{icon[1]}.png")) and
        re.search(r"^Exec=marchfire\b", entry_text, re.M),
        "a valid desktop entry in Games, running marchfire, with its icon", out)
metainfo = root / "usr/share/metainfo/io.github.marchfire.Marchfire.metainfo.xml"
meta = metainfo.read_text() if metainfo.is_file() else ""
code, out = h.run("appstreamcli", "validate-tree", "--no-net", root)
t.check(code == 0 and not re.search(r"^\s*[EW]: ", out, re.M) and
        '<launchable type="desktop-id">marchfire.desktop</launchable>' in meta and
        f'<release version="{version}"' in meta,
        f"AppStream metadata valid, launching the entry, with release {version}", out)

docs = root / "usr/share/doc/marchfire"
copyright_text = (docs / "copyright").read_text()
page = root / "usr/share/man/man6/marchfire.6.gz"
page_text = gzip.decompress(page.read_bytes()).decode() if page.is_file() else ""
man = subprocess.run(["man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z", page],
                     capture_output=True, text=True,
                     env={**os.environ, "LC_ALL": "C.UTF-8", "MANWIDTH": "80"})
t.check(copyright_text.startswith(
            "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/") and
        re.search(r"^License: bitstream-vera", copyright_text, re.M) and
        gzip.decompress((docs / "changelog.gz").read_bytes()).decode().startswith(
            f"marchfire ({version}) ") and
        "marchfire - " in h.run("lexgrog", page)[1] and man.returncode == 0 and not man.stderr and
        re.search(rf'^\.TH MARCHFIRE 6 .*"marchfire {re.escape(version)}"', page_text, re.M) and
        all(re.search(rf'^\.SH "?{s}"?$', page_text, re.M)
            for s in ("SYNOPSIS", "DESCRIPTION", "KEYS", "FILES", "EXIT STATUS")),
        f"copyright, changelog {version} and manual page", man.stderr)

# The pictures are found in each of their places, the first two before the
# last: the package's own from a folder without pictures, and a different
# intro from the working directory instead of the package's.
t.check(plays(program, "packaged"), "the packaged program plays from a folder without pictures")
altered = t.work / "altered"
altered.mkdir()
intro_bytes = (build / "bin/intro.bmp").read_bytes()
start = int.from_bytes(intro_bytes[10:14], "little")
# Every byte after the headers inverted: the same size, other colours.
(altered / "intro.bmp").write_bytes(intro_bytes[:start] + bytes(255 - b for b in intro_bytes[start:]))
t.check(plays(program, "working_dir", altered, h.picture(altered / "intro.bmp")),
        "the working directory's pictures come before the package's")
t.done()
