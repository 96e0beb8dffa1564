#!/usr/bin/env python3
"""trilane-cli settings, club and history: exit codes, JSON shapes and files written.
Usage: cli_test.py TRILANE_CLI DATA_DIR"""

import json
import os
import subprocess
import sys
import tempfile

CLI, DATA = sys.argv[1], sys.argv[2]
failures = []


def run(*args, code=0):
    p = subprocess.run([CLI, *args], capture_output=True)
    if p.returncode != code:
        failures.append(f"{args}: exit {p.returncode}, wanted {code}: {p.stderr.decode()}")
    if code == 2 and len(p.stderr.decode().strip().splitlines()) != 1:
        failures.append(f"{args}: a usage error should be one line: {p.stderr.decode()}")
    return p.stdout.decode()


def check(cond, what):
    if not cond:
        failures.append(what)


with tempfile.TemporaryDirectory() as tmp:
    ini = os.path.join(tmp, "Trilane.ini")
    run("settings", "default", "--out", ini)
    run("settings", "default", "--out", ini, code=1)  # no silent overwrite
    s = json.loads(run("settings", "show", ini, "--json"))
    check(s["FontName"] == ["Comic Sans MS", "Comic Sans MS", "FixedSys", "Courier New"], s)
    check(s["FontScale"] == [100] * 4 and s["TopTenNick"] == "Incognito", s)
    check(s["LanguageIndex"] == 0 and s["SoundOn"] is True and s["GifDelay"] == 1000, s)
    check(len(s) == 41, f"{len(s)} settings keys")
    good = json.loads(run("settings", "show", os.path.join(DATA, "settings_good.ini"), "--json"))
    check(good["PlayerName"] == "Вера" and good["TopTenCity"] == "Тверь", good)
    run("settings", "show", os.path.join(tmp, "missing.ini"), code=1)
    run("settings", "show", code=2)
    run("settings", "frobnicate", code=2)

    clb = os.path.join(tmp, "Trilane.clb")
    run("club", "new", "--out", clb)
    c = json.loads(run("club", "check", clb, "--json"))
    check(c == {"good": True, "reason": "", "marker": "trl", "russian": False,
                "write_lock": False}, c)
    bad = json.loads(run("club", "check", os.path.join(DATA, "club_member_58.clb"), "--json",
                         code=1))
    check(not bad["good"] and "line 3" in bad["reason"], bad)
    r = json.loads(run("club", "result", clb, "--slot", "6", "--name", "Вера", "--password",
                       "кот", "--match-score", "24", "--rounds", "5", "--json"))
    check(len(r["member_line"]) == 59 and r["rating"] == 2.4 and r["place"] == 0, r)
    r = json.loads(run("club", "result", clb, "--slot", "1", "--password", "кот",
                       "--match-score", "500", "--rounds", "75", "--json"))
    check(r["place"] == 1 and r["cycle_score"] == 524 and r["member_line"][38:44] == "     0", r)
    run("club", "result", clb, "--slot", "1", "--password", "dog", "--match-score", "1",
        "--rounds", "1", code=1)
    run("club", "result", clb, "--slot", "6", "--name", "x" * 21, "--password=",
        "--match-score", "1", "--rounds", "1", code=2)
    run("club", "result", clb, "--slot", "7", "--match-score", "1", "--rounds", "1", code=2)
    show = json.loads(run("club", "show", clb, "--json"))
    check(len(show["members"]) == 5 and len(show["topten"]) == 10, show)
    check(show["members"][0]["name"] == "Вера" and show["members"][0]["games"] == 80, show)
    check(show["members"][1] == {"name": "", "rating": None, "games": None, "score": None,
                                 "empty": True}, show)
    check(show["topten"][0] == {"name": "Вера", "score": 524}, show)
    run("club", "remove", clb, "--slot", "1")
    check(json.loads(run("club", "show", clb, "--json"))["members"][0]["empty"], "removed")
    os.chmod(clb, 0o444)
    before = open(clb, "rb").read()
    check(json.loads(run("club", "check", clb, "--json"))["write_lock"], "write lock")
    run("club", "remove", clb, "--slot", "1", code=1)
    check(open(clb, "rb").read() == before, "a write-locked club file was changed")

    hist = os.path.join(tmp, "History")
    for minute in ("05", "06"):
        a = json.loads(run("history", "append", "--dir", hist, "--name", "Вера", "--games", "12",
                           "--result", "-35", "--rating", "0.05", "--kind", "L", "--now",
                           "2026-03-07 09:" + minute, "--json"))
    check(a["number"] == 1 and a["records"] == 2 and a["line"][79:89] == "      0,05", a)
    check(a["line"][:15] == " 9:0607.03.2026", a)
    h = json.loads(run("history", "check", os.path.join(hist, "Trilane_I0001.hst"), "--json"))
    check(h == {"valid": True, "records": 2, "reason": ""}, h)
    h = json.loads(run("history", "check", os.path.join(DATA, "history_edited.hst"), "--json",
                       code=1))
    check(not h["valid"] and h["reason"], h)
    files = json.loads(run("history", "list", hist, "--json"))["files"]
    check(len(files) == 1 and files[0]["number"] == 1 and files[0]["records"] == 2, files)
    run("history", "append", "--dir", hist, "--name", "x", "--games", "4", "--result", "1",
        "--rating", "1", "--kind", "X", "--now", "2026-03-07 09:05", code=2)
    run("history", "append", "--dir", hist, "--name", "x", "--games", "4", "--result", "1",
        "--rating", "1", "--kind", "L", "--now", "yesterday", code=2)
    # A day the calendar does not have is refused before anything is written.
    first = os.path.join(hist, "Trilane_I0001.hst")
    before = open(first, "rb").read()
    for day in ("2026-02-31 10:00", "2026-02-29 10:00", "2026-04-31 10:00", "2026-13-01 10:00"):
        run("history", "append", "--dir", hist, "--name", "x", "--games", "4", "--result", "1",
            "--rating", "1", "--kind", "L", "--now", day, code=2)
    check(open(first, "rb").read() == before, "an impossible date changed the history file")
    run("history", "append", "--dir", hist, "--name", "x", "--games", "4", "--result", "1",
        "--rating", "1", "--kind", "T", "--now", "2024-02-29 10:00")
    rows = json.loads(run("history", "show", first, "--json"))["rows"]
    check(len(rows) == 3 and rows[2]["date"] == "29.02.2024" and rows[2]["type"] == "Tourney"
          and rows[0]["player"] == "Вера" and rows[0]["rating"] == "0,05", rows)
    text = run("history", "show", first).splitlines()
    check(len(text) == 4 and text[0].split() == ["Time", "Date", "Player", "Games", "Result",
                                                 "Rating", "Type"]
          and text[3].split() == ["10:00", "29.02.2024", "x", "4", "1", "1,00", "Tourney"], text)

for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
