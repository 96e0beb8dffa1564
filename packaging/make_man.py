#!/usr/bin/env python3
"""Writes a manual page from a program's own --help text, so the two never disagree.

  make_man.py PROGRAM SECTION SUMMARY OUTPUT.gz [--see-also PAGE ...]

The help text's first lines up to a blank line (starting "usage:") become the synopsis; the
rest is kept as it is written, in a preformatted description. The page is written gzipped,
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


def main():
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    program, section, summary, output = sys.argv[1:5]
    see_also = sys.argv[6:] if len(sys.argv) > 5 and sys.argv[5] == "--see-also" else []
    name = os.path.basename(program)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    run = subprocess.run([program, "--help"], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                         env=env, text=True, timeout=60)
    if run.returncode != 0 or not run.stdout.strip():
        sys.exit(f"make_man.py: {name} --help failed ({run.returncode}): {run.stderr.strip()}")
    lines = run.stdout.rstrip("\n").split("\n")
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
    if see_also:
        page += [".SH SEE ALSO", ", ".join(f"\\fB{p.split('.')[0]}\\fR({p.split('.')[1]})"
                                           for p in see_also)]
    data = ("\n".join(page) + "\n").encode("utf-8")
    with open(output, "wb") as raw:
        with gzip.GzipFile(filename="", mode="wb", fileobj=raw, compresslevel=9, mtime=0) as out:
            out.write(data)


if __name__ == "__main__":
    main()
