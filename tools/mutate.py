#!/usr/bin/env python3
"""Mutation testing: plants one fault at a time in a copy of the source,
builds what the fault's file belongs to, runs its tests with a time limit,
and counts which faults the tests kill.

Usage: scripts/mutate.sh [--short] [--match TEXT] [--lines N,M] [--check] [--list FILE]

The faults are listed in tools/mutants.txt, one per line, fields split by
tabs: kind (- | short | equivalent), file, original text, replacement, note.
In the texts, \\n stands for a line break and \\t for a tab. The original
text must occur exactly once in its file.

Which tests try a fault follows from its file: the game's core (game/,
display/, assets/, shell/) its core, loader and stress suites; the desktop
backends' shared code (platform/shared/, platform/sdl/) the Linux backend's
tests; the Windows backend the cross-built backend checks under Wine on a
virtual screen; the browser page's input and pace (platform/web/page/input.js
and pace.js) their unit test under Node; the rest of the browser's page
(platform/web/) the browser test in headless Chromium.
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(ROOT, "build-mutate")
TREE = os.path.join(WORK, "tree")
BUILD = os.path.join(WORK, "build")
TARGETS = ["core_tests", "asset_loader_tests", "stress_tests"]
# Seconds each suite may take before the fault counts as a hang; the suites
# take well under a tenth of this on a quiet machine.
LIMITS = {"core_tests": 60, "asset_loader_tests": 30, "stress_tests": 180}
COPIED = ["CMakeLists.txt", "assets", "display", "game", "shell", "platform", "tests", "tools",
          "fuzz", "cmake", "scripts"]
# A prefix of the runner's own: made on the first run of a fresh clone, and
# apart from the one the end-to-end test uses while it may be running.
WINE_PREFIX = os.path.join(WORK, "wine-prefix")
WIN32_GROUPS = ["files", "messages", "keys", "display", "clock", "waits", "pause", "window", "pads"]


class Mutant:
    def __init__(self, line_number, kind, path, original, replacement, note):
        self.line_number = line_number
        self.kind = kind
        self.path = path
        self.original = original
        self.replacement = replacement
        self.note = note

    @property
    def folder(self):
        parts = self.path.split("/")
        return "/".join(parts[:2]) if parts[0] == "platform" else parts[0]


def unescape(text):
    return text.replace("\\n", "\n").replace("\\t", "\t")


def read_list(list_file):
    mutants = []
    with open(list_file, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) != 5 or fields[0] not in ("-", "short", "equivalent"):
                sys.exit(f"{list_file}:{number}: want 5 tab-separated fields, kind first")
            kind, path, original, replacement, note = fields
            mutants.append(Mutant(number, kind, path, unescape(original), unescape(replacement),
                                  note))
    return mutants


def check_list(mutants, tree):
    bad = 0
    for m in mutants:
        path = os.path.join(tree, m.path)
        if not os.path.exists(path):
            print(f"line {m.line_number}: no file {m.path}")
            bad += 1
            continue
        found = open(path, encoding="utf-8").read().count(m.original)
        if found != 1:
            print(f"line {m.line_number}: original text found {found} times in {m.path}")
            bad += 1
    return bad


def copy_tree():
    os.makedirs(TREE, exist_ok=True)
    for name in COPIED:
        source = os.path.join(ROOT, name)
        target = os.path.join(TREE, name)
        if os.path.isdir(source):
            shutil.copytree(source, target, dirs_exist_ok=True)
        elif os.path.exists(source):
            shutil.copy2(source, target)


def run(command, timeout=None, cwd=None):
    """(exit code, output); exit code None when the time limit ran out."""
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               start_new_session=True, cwd=cwd)
    try:
        output, _ = process.communicate(timeout=timeout)
        return process.returncode, output.decode(errors="replace")
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        output, _ = process.communicate()
        return None, output.decode(errors="replace")


def nice(command, **options):
    return run(["nice", "-n", "10"] + command, **options)


def build_core():
    code, output = nice(["cmake", "--build", BUILD, "-j2", "--target"] + TARGETS)
    return code == 0, output


def test_core():
    """'killed' at the first suite that fails, 'hung' when one runs out of time."""
    for target in TARGETS:
        binary = os.path.join(BUILD, "bin", target)
        code, output = nice([binary, "--gtest_brief=1"], timeout=LIMITS[target])
        # The tests' own watchdog names a test that ran past its limit.
        if code is None or "[  TIMEOUT ]" in output:
            return "hung", target
        if code != 0:
            return "killed", target
    return "survived", ""


DESKTOP_BUILD = os.path.join(WORK, "build-desktop")


def build_desktop():
    if not os.path.exists(os.path.join(DESKTOP_BUILD, "CMakeCache.txt")):
        code, output = run(["cmake", "-S", TREE, "-B", DESKTOP_BUILD, "-DCMAKE_BUILD_TYPE=Release",
                            "-DMARCHFIRE_SDL=ON", "-DMARCHFIRE_BENCH=OFF"])
        if code != 0:
            return False, output
    code, output = nice(["cmake", "--build", DESKTOP_BUILD, "-j2", "--target", "sdl_backend_tests"])
    return code == 0, output


def test_desktop():
    binary = os.path.join(DESKTOP_BUILD, "bin", "sdl_backend_tests")
    os.environ.update(SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy")
    code, output = nice([binary, "--gtest_brief=1"], timeout=120)
    if "[  TIMEOUT ]" in output:
        code = None
    return ({None: "hung", 0: "survived"}.get(code, "killed"), "sdl_backend_tests")


def build_windows():
    code, output = nice(["bash", os.path.join(TREE, "scripts", "build-windows.sh")])
    return code == 0, output


def use_wine_prefix():
    """Makes the prefix once, with a limit of its own, so that the first
    checks' limit doesn't include it."""
    os.environ.update(WINEPREFIX=WINE_PREFIX, WINEARCH="win64", WINEDEBUG="-all",
                      WINEDLLOVERRIDES="mscoree,mshtml=")
    if os.path.exists(os.path.join(WINE_PREFIX, "system.reg")):
        return True, ""
    os.makedirs(WINE_PREFIX, exist_ok=True)
    with VirtualScreen() as screen:
        code, output = run(["env", "DISPLAY=" + screen.display, "wine", "wineboot", "--init"],
                           timeout=600)
    stop_wine_server()
    return code == 0, output


def stop_wine_server():
    """The next run starts a server of its own, on its own screen."""
    for flag in ("-k", "-w"):
        run(["wineserver", flag], timeout=60)


class VirtualScreen:
    """An X server on a display number that the server itself picks as free
    (-displayfd): two runs starting at once can't take the same one."""

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                        "1024x768x24", "-nolisten", "tcp"], pass_fds=(write_end,),
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            self.display = ":" + pipe.readline().strip()
        return self

    def __exit__(self, *args):
        self.server.terminate()
        self.server.wait()


def windows_outcome(code, output):
    """Decided by the checks' own words: their closing line with no failure,
    and their watchdog's line for a wait that never ended."""
    if code is None or "still running after its limit" in output:
        return "hung"
    passed = re.findall(r"^\d+ passed, (\d+) failed\r?$", output, re.M)
    return "survived" if code == 0 and passed and passed[-1] == "0" else "killed"


def test_windows():
    checks = os.path.join(TREE, "build-windows", "tests", "win32", "win32_backend_checks.exe")
    ok, output = use_wine_prefix()
    if not ok:
        sys.exit("Wine cannot make its prefix:\n" + output)
    with VirtualScreen() as screen:
        # Through start, which ends with the program's own exit code: Wine
        # may kill a program slow to go once its threads have ended.
        code, output = nice(["env", "DISPLAY=" + screen.display, "wine", "start", "/b", "/wait",
                             "/unix", checks] + WIN32_GROUPS, timeout=300, cwd=WORK)
    stop_wine_server()
    # The first check that failed says which rule caught the fault.
    failed = re.search(r"^FAILED (.*?)\r?$", output, re.M)
    return windows_outcome(code, output), "win32_backend_checks" + (
        f" ({failed[1]})" if failed else "")


def build_browser():
    if not os.path.isdir(os.path.join(TREE, "tests", "web", "node_modules")):
        code, output = run(["npm", "ci", "--no-audit", "--no-fund"], cwd=os.path.join(TREE, "tests", "web"))
        if code != 0:
            return False, output
    code, output = nice(["bash", os.path.join(TREE, "scripts", "build-web.sh")])
    return code == 0, output


def test_browser():
    # In Chromium alone: the page's scripts are the same in every engine,
    # and each fault's run stays a third as long.
    code, _ = nice(["env", "MARCHFIRE_BROWSERS=chromium", "node", "tests/web/play_test.js", "dist/web",
                    "build-web/host-tools/bin"],
                   timeout=900, cwd=TREE)
    return ({None: "hung", 0: "survived"}.get(code, "killed"), "browser test")


def build_nothing():
    return True, ""


def test_page_input():
    code, output = nice(["node", "--test", "tests/web/input_test.js"], timeout=60, cwd=TREE)
    return ({None: "hung", 0: "survived"}.get(code, "killed"), "page input test")


# The suite of a fault: the first whose folders hold its file.
SUITES = [("platform/win32/", build_windows, test_windows),
          ("platform/web/page/input.js", build_nothing, test_page_input),
          ("platform/web/page/pace.js", build_nothing, test_page_input),
          ("platform/web/", build_browser, test_browser),
          ("platform/shared/", build_desktop, test_desktop),
          ("platform/sdl/", build_desktop, test_desktop),
          ("", build_core, test_core)]


def suite_of(mutant):
    return next((build, test) for folder, build, test in SUITES if mutant.path.startswith(folder))


class Planted:
    """Plants a fault in the copy and takes it out again, also when the run is
    stopped half-way."""

    current = None

    def __init__(self, mutant):
        self.path = os.path.join(TREE, mutant.path)
        self.mutant = mutant

    def __enter__(self):
        with open(self.path, encoding="utf-8") as f:
            self.text = f.read()
        if self.text.count(self.mutant.original) != 1:
            raise SystemExit(f"line {self.mutant.line_number}: original text not found exactly "
                             f"once in {self.mutant.path}")
        Planted.current = self
        with open(self.path, "w", encoding="utf-8") as f:
            f.write(self.text.replace(self.mutant.original, self.mutant.replacement))
        return self

    def restore(self):
        with open(self.path, "w", encoding="utf-8") as f:
            f.write(self.text)
        Planted.current = None

    def __exit__(self, *args):
        self.restore()


def stop(signum, frame):
    if Planted.current is not None:
        Planted.current.restore()
    sys.exit(f"stopped by signal {signum}; the planted fault was taken out")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--short", action="store_true", help="only the faults marked short")
    parser.add_argument("--match", default="", help="only faults whose note or file has this")
    parser.add_argument("--lines", default="", help="only the faults on these lines of the list")
    parser.add_argument("--check", action="store_true", help="only check that the list applies")
    parser.add_argument("--list", default=os.path.join(ROOT, "tools", "mutants.txt"))
    args = parser.parse_args()

    mutants = read_list(args.list)
    if check_list(mutants, ROOT):
        sys.exit("the list does not apply to this tree")
    if args.check:
        print(f"{len(mutants)} faults apply")
        return
    selected = [m for m in mutants
                if (not args.short or m.kind == "short") and
                (args.match in m.note or args.match in m.path) and
                (not args.lines or str(m.line_number) in args.lines.split(","))]

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    started = time.time()
    copy_tree()
    code, output = run(["cmake", "-S", TREE, "-B", BUILD, "-DCMAKE_BUILD_TYPE=Release",
                        "-DMARCHFIRE_SDL=OFF", "-DMARCHFIRE_BENCH=OFF"])
    if code != 0:
        sys.exit(output)
    # The unchanged tree must build and pass every suite that a fault needs.
    suites = []
    for m in selected:
        if suite_of(m) not in suites:
            suites.append(suite_of(m))
    for build, test in suites:
        ok, output = build()
        if not ok:
            sys.exit("the unchanged tree does not build:\n" + output)
        outcome, suite = test()
        if outcome != "survived":
            sys.exit(f"the unchanged tree fails its tests ({outcome} in {suite})")

    results = []
    for index, m in enumerate(selected, 1):
        build, test = suite_of(m)
        with Planted(m):
            ok, output = build()
            outcome, suite = test() if ok else ("unbuilt", "")
        if m.kind == "equivalent":
            outcome = "equivalent" if outcome == "survived" else outcome
        results.append((m, outcome, suite))
        print(f"[{index}/{len(selected)}] {outcome:10} {suite:18} {m.path}:{m.line_number} "
              f"{m.note}", flush=True)
    # Build the unchanged tree again, so that the next run starts clean.
    for build, _ in suites:
        build()

    print_summary(results, time.time() - started)


def print_summary(results, seconds):
    outcomes = ["killed", "survived", "hung", "equivalent", "unbuilt"]
    folders = sorted({m.folder for m, _, _ in results})
    print()
    print(f"{'folder':16}" + "".join(f"{o:>11}" for o in outcomes))
    for folder in folders + ["total"]:
        counts = [sum(1 for m, o, _ in results if o == outcome and folder in ("total", m.folder))
                  for outcome in outcomes]
        print(f"{folder:16}" + "".join(f"{c:>11}" for c in counts))
    judged = sum(1 for _, o, _ in results if o in ("killed", "survived", "hung"))
    killed = sum(1 for _, o, _ in results if o == "killed")
    if judged:
        print(f"\nkilled {killed} of {judged} ({100.0 * killed / judged:.1f} %), "
              f"equivalent faults apart; {seconds / 60:.1f} minutes")
    for m, o, _ in results:
        if o in ("survived", "hung", "unbuilt"):
            print(f"{o}: {m.path}:{m.line_number} {m.note}")
    for m, o, _ in results:
        if m.kind == "equivalent" and o != "equivalent":
            print(f"marked equivalent but {o}: {m.path}:{m.line_number} {m.note}")


if __name__ == "__main__":
    main()
