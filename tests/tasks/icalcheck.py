#!/usr/bin/env python3
"""icalcheck.py <file.ics> <expected.json>: reads a calendar file with the
independent `icalendar` parser and compares every event with the expected
rows ({"identity", "events": [{"id", "header", "comment", "start", "end",
"done", "percent", "alarm"}]}). Exit 0 when all holds; without the parser,
or on any mismatch, 1 with the reason."""
import datetime as dt
import json
import re
import sys

try:
    import icalendar
except ImportError:
    sys.exit("icalcheck: the Python package 'icalendar' is missing (python3-icalendar; run scripts/setup)")

data = open(sys.argv[1], "rb").read()
expected = json.load(open(sys.argv[2], encoding="utf-8"))
problems = []
lines = data.split(b"\r\n")
if lines.pop() != b"":
    problems.append("the file does not end with CRLF")
for n, line in enumerate(lines, 1):
    try:
        line.decode("utf-8")  # a fold never splits a character
    except UnicodeDecodeError:
        problems.append(f"line {n}: a character split by the fold")
    if len(line) > 75 or b"\r" in line or b"\n" in line:
        problems.append(f"line {n}: {len(line)} octets or a bare CR/LF")
if problems:
    sys.exit("\n".join(problems[:20]))

cal = icalendar.Calendar.from_ical(data)
problems += [f"{c.name}: {c.errors}" for c in cal.walk() if c.errors]
if cal.get("VERSION") != "2.0" or not cal.get("PRODID"):
    problems.append("no VERSION 2.0 or PRODID")

# SUMMARY and DESCRIPTION as written, unfolded by the parser and unescaped in
# one pass: icalendar before 6.0 unescapes by chained replacements and reads
# an escaped backslash before "n" as a line break.
texts, uid, alarm = {}, None, False
for line in icalendar.parser.Contentlines.from_ical(data.decode("utf-8")):
    name, _, value = str(line).partition(":")
    if name == "UID":
        uid = value
    elif value == "VALARM":
        alarm = name == "BEGIN"
    elif name in ("SUMMARY", "DESCRIPTION") and not alarm:
        texts[uid, name] = re.sub(r"\\([\\;,nN])", lambda m: "\n" if m[1] in "nN" else m[1], value)

events = cal.walk("VEVENT")
if len(events) != len(expected["events"]):
    problems.append(f"{len(events)} events, {len(expected['events'])} expected")
for e, want in zip(events, expected["events"]):
    uid = str(e.get("UID"))
    start, end = (dt.datetime.fromisoformat(want[k]) for k in ("start", "end"))
    got_end = e["DTEND"].dt if "DTEND" in e else None
    alarms = e.walk("VALARM")
    checks = {
        "UID": (uid, f"{want['id']}@{expected['identity']}"),
        "DTSTAMP in UTC": (e["DTSTAMP"].dt.utcoffset(), dt.timedelta(0)),
        "floating DTSTART": ((e["DTSTART"].dt, e["DTSTART"].params.get("TZID")), (start, None)),
        "floating DTEND": ((got_end, got_end and got_end.tzinfo), (end if end > start else None, None)),
        "SUMMARY": (texts.get((uid, "SUMMARY"), ""), want["header"]),
        "DESCRIPTION": (texts.get((uid, "DESCRIPTION"), ""), want["comment"]),
        "done mark": (e.get("X-TARVIK-COMPLETED", ""), "TRUE" if want["done"] else ""),
        "percent": (str(e.get("X-TARVIK-PERCENT-COMPLETE", "0")), str(want["percent"])),
        "no VTODO properties": (("STATUS" in e, "PERCENT-COMPLETE" in e), (False, False)),
        "alarm": ([(a["ACTION"], a["TRIGGER"].dt, bool(a.get("DESCRIPTION"))) for a in alarms],
                  [("DISPLAY", -dt.timedelta(minutes=want["alarm"]), True)] if want["alarm"] else []),
    }
    for field in ("SUMMARY", "DESCRIPTION"):
        if "\\" not in checks[field][1]:
            checks[field + " as icalendar reads it"] = (str(e.get(field, "")), checks[field][1])
    problems += [f"{uid} {k}: {got!r} != {w!r}" for k, (got, w) in checks.items() if got != w]

print("\n".join(f"icalcheck: {p}" for p in problems[:30]))
print(f"icalcheck: {len(events)} events, {len(lines)} lines, {len(problems)} problems")
sys.exit(1 if problems else 0)
