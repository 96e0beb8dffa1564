#!/usr/bin/env python3
"""Writes the fixture files in data/: one good file of each kind and named broken copies,
one fault each. The checksums are computed here independently of the library, so the
tests that read these files check the library against a second implementation.
Run it from anywhere; it rewrites data/ in place."""

import os

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "data")
CRLF = b"\r\n"


def cp(text):
    return text.encode("cp1251")


def write(name, lines, ending=CRLF):
    with open(os.path.join(DATA, name), "wb") as f:
        f.write(b"".join(line + ending for line in lines))


# ---- club files --------------------------------------------------------------------

OFFSET = 311  # password offset


def password(pw):
    pw = pw.ljust(5)
    return b"".join(b"%03d" % (c + OFFSET) for c in cp(pw))


def member(name, rating, games, score, pw):
    r = ("%.6f" % rating).replace(".", ",")
    return cp(name.ljust(20)) + r.rjust(10).encode() + str(games).rjust(7).encode() + b" " + \
        str(score).rjust(6).encode() + password(pw)


EMPTY = b"#" * 37 + b" " + b"#" * 21


def club_lines(members, topten, first=b"0", marker=b"trl"):
    lines = list(members) + [EMPTY] * (5 - len(members))
    lines += [cp(n.ljust(20)) + str(s).rjust(6).encode() for n, s in topten]
    lines.append(bytes([94 + 100]) + b"}" + b"#" * 26)
    body = b"".join(lines)[:583]
    s1 = sum(body)
    s2 = sum(b for i, b in enumerate(body, 1) if i % 2 == 0)
    s3 = sum(b for i, b in enumerate(body, 1) if i % 3 == 0)
    lines.append(first + b"#####" + marker + b"#" + b"%06d%06d%06d" % (s1, s2, s3))
    return lines


MEMBERS = [
    member("Вера", 2.5, 163, 41, "кот"),
    member("Tom Sawyer", 0.0, 80, 0, ""),
    member("Ann", -0.25, 7, -12, "12345"),
]
TOPTEN = [("Anna", 300), ("Boris", 260), ("Clara", 220), ("Dmitri", 190), ("Elena", 160),
          ("Felix", 130), ("Greta", 100), ("Hugo", 75), ("Irina", 50), ("Jonas", 25)]


def clubs():
    good = club_lines(MEMBERS, TOPTEN)
    assert [len(l) for l in good] == [59] * 5 + [26] * 10 + [28, 28]
    write("club_good.clb", good)
    write("club_good_lf.clb", good, b"\n")
    write("club_russian.clb", club_lines(MEMBERS, TOPTEN, first=b"1", marker=b"oqr"))
    write("club_16_lines.clb", good[:16])
    write("club_18_lines.clb", good + [b"extra"])
    short = list(good)
    short[2] = short[2][:58]
    write("club_member_58.clb", short)
    other = list(good)
    other[15] = bytes([93 + 100]) + other[15][1:]  # another game's marker, checksums redone
    other = club_lines(MEMBERS, TOPTEN)[:15] + [other[15]]
    body = b"".join(other)[:583]
    sums = (sum(body), sum(b for i, b in enumerate(body, 1) if i % 2 == 0),
            sum(b for i, b in enumerate(body, 1) if i % 3 == 0))
    other.append(b"0#####trl#" + b"%06d%06d%06d" % sums)
    write("club_other_game.clb", other)
    edited = list(good)
    edited[1] = b"Tim" + edited[1][3:]  # a name changed without new checksums
    write("club_edited_name.clb", edited)
    letters = list(good)
    letters[16] = letters[16][:22] + b"12x456"
    write("club_checksum_letters.clb", letters)


# ---- history files -----------------------------------------------------------------

def line_sums(line):
    head = line[:99]
    return (sum(head), sum(b for i, b in enumerate(head, 1) if i % 2 == 0),
            sum(b for i, b in enumerate(head, 1) if i % 3 == 0))


def with_checksum(head):
    assert len(head) == 99, len(head)
    return head + b"%05d%05d%05d" % line_sums(head)


def record(time, date, name, games, result, rating, kind):
    head = time.rjust(5).encode() + date.rjust(10)[:10].encode() + cp(name.ljust(51)[:51]) + \
        str(games).rjust(3).encode() + str(result).rjust(10).encode() + \
        rating.rjust(10).encode() + kind.encode() + b"#" * 9
    return with_checksum(head)


def history_file(records):
    lines = list(records)
    lines.append(with_checksum(b"$" + bytes([194]) + b"}" + b"#" * 96))
    totals = [0, 0, 0]
    for l in lines:
        for k, v in enumerate(line_sums(l)):
            totals[k] += v
    lines.append(b"%010d%010d%010d" % tuple(totals))
    return lines


RECORDS = [
    record(" 9:05", "07.03.2026", "Anna", 12, -35, "0,05", "L"),
    record("21:40", "07.03.2026", "Вера/Tom/Ann", 4, 120, "-3,25", "N"),
    record("23:59", "08.03.2026", "Incognito", 80, 1234567, "12,50", "A"),
]


def histories():
    good = history_file(RECORDS)
    write("history_good.hst", good)
    write("history_empty.hst", history_file([]))
    short = list(good)
    short[1] = short[1][:113]
    write("history_short_line.hst", short)
    edited = list(good)
    edited[0] = edited[0][:20] + b"B" + edited[0][21:]  # "Anna" -> "ABna"
    write("history_edited.hst", edited)
    write("history_no_totals.hst", good[:-1])
    write("history_no_terminator.hst", good[:3])
    bad = list(good)
    bad[-1] = bad[-1][:25] + b"99999"
    write("history_bad_totals.hst", bad)


# ---- settings files ----------------------------------------------------------------

SETTINGS = [
    "<# General>",
    "3206213" + "52#L1" + "5112" + "1010",  # see the settings test for the decoding
    "<# Cards>", "17",
    "<# Decks>", "091",
    "<# Individual>", "1#####",
    "<# Fonts>", "Arial", "Times New Roman", "Fixedsys", "Courier New",
    "120", "90", "100", "150",
    "<# IP & Port>", "192.168.0.7", "25700",
    "<# Background>", "074",
    "<# Name Of Player>", "Вера",
    "<# World Top Ten>", "c2NyaXB0", "Verochka", "2-017", "Тверь", "W", "c3RhdHM=",
    "<# Save Games as GIF>", "\u0438",  # code page 1251 byte 0xE8: recording on
    "2", "250",
]


def settings():
    good = [cp(l) for l in SETTINGS]
    assert len(good) == 35 and good[32] == b"\xe8" and len(good[1]) == 20
    write("settings_good.ini", good)
    write("settings_34_lines.ini", good[:34])
    short6 = list(good)
    short6[5] = b"0"
    write("settings_short_line6.ini", short6)
    empty12 = list(good)
    empty12[11] = b""
    write("settings_empty_line12.ini", empty12)
    odd = list(good)
    odd[27] = b"1-049"  # Europe has 48 countries
    odd[29] = b"X"
    odd[1] = b"a" + odd[1][1:]
    write("settings_odd_values.ini", odd)
    letters = list(good)
    letters[3] = b"seven"
    letters[13] = b"big"
    letters[34] = b"slow"
    write("settings_not_numbers.ini", letters)


if __name__ == "__main__":
    os.makedirs(DATA, exist_ok=True)
    clubs()
    histories()
    settings()
