#!/usr/bin/env python3
"""Runs what README.md shows, so that its instructions cannot go stale unseen.

Usage: tools/check-readme.py BUILD_DIR

- The command line's example session: each `$ ` command runs in a scratch folder (with
  build/default pointing at BUILD_DIR and pelmora-cli on PATH) and must print exactly the
  lines README shows after it. Commands ending in `&` start a virtual box in the background.
- The two shape checks (grep commands that must find nothing) run in the repository.
"""
import os
import pathlib
import re
import shlex
import subprocess
import sys
import tempfile
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent


def code_block_after(text, heading):
    start = text.index(heading)
    block = re.search(r"```\n(.*?)```", text[start:], re.S)
    return block.group(1).splitlines()


def session_steps(lines):
    steps = []
    for line in lines:
        if line.startswith("$ "):
            steps.append((line[2:], []))
        elif steps:
            steps[-1][1].append(line)
    return steps


def start_in_background(command, cwd, env):
    # exec: the box replaces the shell, so terminating the process ends the box itself
    process = subprocess.Popen("exec " + command[:-1], shell=True, cwd=cwd, env=env,
                               stdout=subprocess.DEVNULL)
    words = shlex.split(command[:-1])
    link = pathlib.Path(words[words.index("--link") + 1])
    for _ in range(50):
        if link.is_symlink():
            return process
        time.sleep(0.1)
    sys.exit(f"README session: `{command}` made no link {link}")


def run_session(build_dir):
    text = (ROOT / "README.md").read_text()
    steps = session_steps(code_block_after(text, "An example session with the virtual box:"))
    if not steps:
        sys.exit("README session: no commands found")
    background = []
    failures = 0
    with tempfile.TemporaryDirectory() as scratch:
        (pathlib.Path(scratch) / "build").mkdir()
        (pathlib.Path(scratch) / "build" / "default").symlink_to(build_dir.resolve())
        env = dict(os.environ, PATH=f"{build_dir.resolve() / 'cli'}:{os.environ['PATH']}")
        try:
            for command, expected in steps:
                if command.endswith("&"):
                    background.append(start_in_background(command, scratch, env))
                    continue
                result = subprocess.run(command, shell=True, cwd=scratch, env=env,
                                        capture_output=True, text=True, timeout=60)
                if result.stdout.splitlines() != expected:
                    failures += 1
                    print(f"README session: `{command}` printed:\n{result.stdout}"
                          f"{result.stderr}README shows:\n" + "\n".join(expected))
        finally:
            for process in background:
                process.terminate()
                process.wait()
    print(f"README session: {len(steps)} commands, {failures} differ")
    return failures == 0


def run_shape_checks():
    text = (ROOT / "README.md").read_text()
    paragraph = text[text.index("Two checks keep the shape"):]
    checks = re.findall(r"`(grep [^`]*)`", " ".join(paragraph.split("\n\n")[0].split()))
    if len(checks) != 2:
        sys.exit(f"README shape checks: found {len(checks)} grep commands, not 2")
    ok = True
    for check in checks:
        result = subprocess.run(check, shell=True, cwd=ROOT, capture_output=True, text=True)
        if result.stdout:
            ok = False
            print(f"README shape check `{check}` found:\n{result.stdout}")
    print(f"README shape checks: {'both hold' if ok else 'broken'}")
    return ok


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip().splitlines()[2])
    session_ok = run_session(pathlib.Path(sys.argv[1]))
    shape_ok = run_shape_checks()
    sys.exit(0 if session_ok and shape_ok else 1)


if __name__ == "__main__":
    main()
