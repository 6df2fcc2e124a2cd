#!/usr/bin/env python3
"""--save writes every track as an ordinary stored track, copies and pieces included: reading the
saved file again gives every track the same name type, shown name, description, selection item
and following, over the example of copies and cuts and over generated files of each kind. (The
description that classifies a stored track still unresolved may differ from the one after.)

Usage: round_trip.py ILLHOST SOURCE_DIR WORK_DIR"""
import json
import os
import subprocess
import sys

illhost, source, work = sys.argv[1:4]
os.makedirs(work, exist_ok=True)
KEPT = ("id", "name_type", "shown_name", "description", "selection_item", "uses_target_name")
files = [os.path.join(source, "examples", "copies_and_cuts.json")]
for count, options in ((64, []), (200, ["--copies"]), (1000, ["--copies"])):
    path = os.path.join(work, f"generated-{count}{''.join(options)}.json")
    with open(path, "wb") as out:
        subprocess.run([sys.executable, os.path.join(source, "bench", "make_illustration.py"),
                        str(count)] + options, stdout=out, check=True)
    files.append(path)


def rows(path, *options):
    shown = subprocess.run([illhost, "--json", *options, path], check=True, capture_output=True)
    return [[track[key] if key != "description" or track["name_type_before"] != 3 else None
             for key in KEPT] for track in json.loads(shown.stdout)["tracks"]]


failures = 0
for path in files:
    saved = os.path.join(work, "saved.json")
    before = rows(path, "--save", saved)
    after = rows(saved)
    for was, now in zip(before, after):
        now[3] = now[3] if was[3] is not None else None
        if was != now and failures < 10:
            print(f"{path}: track {was[0]}: {was} before, {now} once saved")
        failures += was != now
    if len(before) != len(after):
        print(f"{path}: {len(before)} tracks before, {len(after)} once saved")
        failures += 1
print(f"{len(files)} files saved and read again; {failures} tracks differ")
sys.exit(1 if failures else 0)
