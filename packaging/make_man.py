#!/usr/bin/env python3
"""Writes a manual page from a program's own --help text, so the two never disagree.

  make_man.py PROGRAM SECTION SUMMARY OUTPUT.gz [--commands] [--see-also PAGE ...]

The help text's first lines up to a blank line (starting "usage:") become the synopsis; the
rest is kept as it is written, in a preformatted description. With --commands the synopsis
lists commands (the first word of each line after the first), and each command's own help
("PROGRAM COMMAND --help") follows in a section of its own. The page is written gzipped,
without a time stamp, so the same help text always gives the same bytes.
"""
import gzip
import os
import subprocess
import sys


def escape(line):
    text = line.replace("\\", "\\e").replace("-", "\\-")
    # A line must not start with a control character of the formatter.
    if text.startswith((".", "'")):
        text = "\\&" + text
    return text


def help_lines(program, command):
    """The lines of "PROGRAM [COMMAND] --help"."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    what = " ".join([os.path.basename(program)] + command)
    run = subprocess.run([program] + command + ["--help"], stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE, env=env, text=True, timeout=60)
    if run.returncode != 0 or not run.stdout.strip():
        sys.exit(f"make_man.py: {what} --help failed ({run.returncode}): {run.stderr.strip()}")
    return run.stdout.rstrip("\n").split("\n")


def main():
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    program, section, summary, output = sys.argv[1:5]
    rest = sys.argv[5:]
    commands = bool(rest) and rest[0] == "--commands"
    if commands:
        rest = rest[1:]
    see_also = rest[1:] if rest and rest[0] == "--see-also" else []
    name = os.path.basename(program)
    lines = help_lines(program, [])
    synopsis = []
    while lines and lines[0].strip():
        synopsis.append(lines.pop(0))
    while lines and not lines[0].strip():
        lines.pop(0)
    if synopsis and synopsis[0].lower().startswith("usage:"):
        synopsis[0] = synopsis[0][len("usage:"):].strip()

    page = [f'.TH {name.upper()} {section} "" "Trilane 1.0" "Trilane"', ".SH NAME",
            f"{escape(name)} \\- {escape(summary)}", ".SH SYNOPSIS", ".nf"]
    page += [escape(line.strip()) for line in synopsis]
    page += [".fi"]
    if lines:
        page += [".SH DESCRIPTION", ".nf"]
        page += [escape(line) for line in lines]
        page += [".fi"]
    if commands:
        page += [".SH COMMANDS"]
        seen = []
        for line in synopsis[1:]:
            command = line.split()[0]
            if command in seen:
                continue
            seen.append(command)
            page += [f".SS {escape(command)}", ".nf"]
            page += [escape(text) for text in help_lines(program, [command])]
            page += [".fi"]
    if see_also:
        page += [".SH SEE ALSO", ", ".join(f"\\fB{p.split('.')[0]}\\fR({p.split('.')[1]})"
                                           for p in see_also)]
    data = ("\n".join(page) + "\n").encode("utf-8")
    with open(output, "wb") as raw:
        with gzip.GzipFile(filename="", mode="wb", fileobj=raw, compresslevel=9, mtime=0) as out:
            out.write(data)


if __name__ == "__main__":
    main()
