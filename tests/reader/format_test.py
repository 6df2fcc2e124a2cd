#!/usr/bin/env python3
"""Checks the illustration schema that the build wrote from the format's tables: every example
(the built-in sample among them) is valid; every input that the reader tests refuse for a reason a
schema can state (a wrong type, an unknown or missing key, a number out of range) is refused by
the schema too; and every key it names is in the fuzz dictionary and in the format's docs.

Usage: format_test.py SCHEMA SOURCE_DIR"""
import glob
import json
import os
import re
import sys

import jsonschema

schema_path, source = sys.argv[1:3]
with open(schema_path, encoding="utf-8") as f:
    schema = json.load(f)
jsonschema.Draft202012Validator.check_schema(schema)
validator = jsonschema.Draft202012Validator(schema)
failures = []

documents = {path: open(path, encoding="utf-8").read()
             for path in sorted(glob.glob(os.path.join(source, "examples", "*.json")))}
for name, text in documents.items():
    for error in validator.iter_errors(json.loads(text)):
        failures.append(f"{name}: not valid: {error.message} at {list(error.absolute_path)}")

# The reader's reasons that a schema states as well.
SCHEMA_REASONS = re.compile(r": (expected (a string|an object|a list|true or false|an integer)"
                            r"|unknown key .*|missing|unknown annotation kind .*"
                            r"|number out of range)$")
refused = []
with open(os.path.join(source, "tests", "reader", "refused.tsv"), encoding="latin-1") as table:
    for line in table:
        cells = line.rstrip("\n").split("\t")
        if len(cells) == 3 and not line.startswith("#") and SCHEMA_REASONS.search(cells[2]):
            refused.append((cells[0], cells[1]))
for name in ("wrong_type", "unknown_key"):
    with open(os.path.join(source, "tests", "illhost", "bad", name + ".json"), encoding="utf-8") as f:
        refused.append((name, f.read()))
for name, text in refused:
    try:
        document = json.loads(text)
    except ValueError:
        continue  # not JSON to Python either: nothing for a schema to say
    if validator.is_valid(document):
        failures.append(f"refused input {name!r} is valid by the schema: {text}")
if len(refused) < 15:
    failures.append(f"only {len(refused)} refused inputs found")


def keys(node):
    """The names of the properties in a schema and in the schemas it holds."""
    if isinstance(node, dict):
        for key, value in node.items():
            for sub in (value.values() if key in ("properties", "$defs") else [value]):
                yield from keys(sub)
        yield from node.get("properties", {})
    elif isinstance(node, list):
        for value in node:
            yield from keys(value)


with open(os.path.join(source, "fuzz", "illustration_reader.dict"), encoding="utf-8") as f:
    dictionary = f.read()
with open(os.path.join(source, "docs", "illustration-format.md"), encoding="utf-8") as f:
    docs = f.read()
for key in sorted(set(keys(schema))):
    if f'"\\"{key}\\""' not in dictionary:
        failures.append(f"key {key} is not in fuzz/illustration_reader.dict")
    if not re.search(r"[`{ ,]" + re.escape(key) + r"[`:, ]", docs) and f'"{key}"' not in docs:
        failures.append(f"key {key} is not in docs/illustration-format.md")

for failure in failures:
    print(failure)
print(f"{len(documents)} documents, {len(refused)} refused inputs checked;"
      f" {len(failures)} failures")
sys.exit(1 if failures else 0)
