#!/usr/bin/env python3
"""Turns the UTF-8 language table into the UI.INI the packages ship: UTF-16LE with a byte-order
mark and CRLF lines, with the Font key of the given system (linux or windows). Refuses a section
without all 39 strings or a string over 63 characters."""
import sys

STRING_COUNT = 39
MAX_LENGTH = 63
SYSTEMS = ("linux", "windows")
FONT_KEYS = {f"Font.{system}" for system in SYSTEMS}


def sections(lines):
    current = None
    for number, line in enumerate(lines, 1):
        line = line.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("[") and line.endswith("]"):
            current = (line[1:-1], {})
            yield current
        elif "=" in line and current is not None:
            key, value = (part.strip() for part in line.split("=", 1))
            current[1][key] = value
        else:
            sys.exit(f"line {number}: neither a section nor a key: {line}")


def check(name, keys):
    wanted = {f"Str{i}" for i in range(STRING_COUNT)}
    missing = wanted - keys.keys()
    extra = keys.keys() - wanted - FONT_KEYS
    if missing or extra:
        sys.exit(f"[{name}]: missing {sorted(missing)}, unknown {sorted(extra)}")
    for key, value in keys.items():
        if len(value) > MAX_LENGTH:
            sys.exit(f"[{name}] {key}: {len(value)} characters, at most {MAX_LENGTH}")


def main(system, source, target):
    with open(source, encoding="utf-8") as f:
        table = list(sections(f.read().splitlines()))
    out = []
    for name, keys in table:
        check(name, keys)
        out.append(f"[{name}]")
        out.extend(f"Str{i}={keys[f'Str{i}']}" for i in range(STRING_COUNT))
        if f"Font.{system}" in keys:
            out.append(f"Font={keys[f'Font.{system}']}")
    with open(target, "wb") as f:
        f.write(b"\xff\xfe" + "\r\n".join(out + [""]).encode("utf-16-le"))


if __name__ == "__main__":
    if len(sys.argv) != 4 or sys.argv[1] not in SYSTEMS:
        sys.exit("usage: make_ui_ini.py linux|windows LANGUAGES.INI UI.INI")
    main(*sys.argv[1:])
