#!/usr/bin/env python3
"""Writes an illustration file for illhost with N tracks to standard output: part instances with
SBOM instances, and every fourth track a callout labelling its SBOM name; half the tracks are
stored without a name type, to be classified. With --no-tracks the same model comes with an
empty timeline, which measures reading and building alone. With --copies a quarter of the tracks
are made from the track before them: alternately copies ("copy_of") and pieces ("cut_from", one
in eight of them cutting off nothing), and every sixteenth track also takes "copy_from" the copy
before it.

The document is written as compact JSON, list by list and a slice of entries at a time, so that
a million tracks take seconds and little memory whatever N is. Its content (objects, keys, values
and the order of entries) must not change: benchmark figures are compared across versions.

Exit status: 0 written, 1 standard output could not be written (closed pipe, full disk),
2 bad usage."""
import argparse
import os
import signal
import sys

SLICE = 4096  # entries formatted and written at a time


def instances(ks):
    return (f'{{"id":"i{k}","name":"part.{k}","display_name":"Part {k}","sbom":"s{k}"}}'
            for k in ks)


def sbom_instances(ks):
    return (f'{{"id":"s{k}","symbol":"SB-{k}","name":"Sbom {k}","display_name":"Shown {k}",'
            f'"ebom":"i{k}","properties":{{"g":{{"sBOM Name":"Bolt {k}"}}}}}}' for k in ks)


def is_callout(k):
    return k % 4 == 3


def callouts(ks):
    return (f'{{"id":"c{k}","kind":"callout","short_description":"Item",'
            f'"attachments":[["","s{k}"]],"definition":{{"content":'
            f'[{{"group":"g","property":"sBOM Name","kind":"Value"}}]}}}}'
            for k in ks if is_callout(k))


def selection_items(ks):
    return (f'{{"id":"item{k}","type":"Annotation","annotation":"c{k}",'
            f'"display_name":"Callout {k}"}}' if is_callout(k) else
            f'{{"id":"item{k}","type":"Instance","object":"i{k}","display_name":"Part {k}"}}'
            for k in ks)


def tracks(ks, copies=False):
    """Even tracks are new; odd ones are stored tracks of an old file, named as their target, or
    with `copies` one in two of them a copy or piece of the track before."""
    for k in ks:
        head = f'{{"id":"t{k}","target":{{"item":"item{k}","scene":"scene"}}'
        if copies and k % 8 == 1:
            yield f'{{"id":"t{k}","copy_of":"t{k - 1}"}}'
        elif copies and k % 8 == 5:
            end = 3 if k % 64 == 5 else 10
            yield f'{{"id":"t{k}","cut_from":{{"track":"t{k - 1}","start":3,"end":{end}}}}}'
        elif copies and k % 16 == 2:
            yield head + f',"copy_from":"t{k - 1}"}}'
        elif k % 2 == 0:
            yield head + "}"
        else:
            name = f"Item SB-{k}" if is_callout(k) else f"part.{k}"
            yield f'{head},"stored":{{"name":"{name}","properties":{{}}}}}}'


def write_list(write, entries_of, count):
    """Writes `[e, e, …]` with the entries that `entries_of` gives for 0 … count-1."""
    write("[")
    separator = ""
    for start in range(0, count, SLICE):
        text = ",".join(entries_of(range(start, min(count, start + SLICE))))
        if text:
            write(separator + text)
            separator = ","
    write("]")


def write_illustration(write, count, with_tracks, copies=False):
    lists = (("instances", instances), ("sbom", sbom_instances), ("scenes", None),
             ("annotations", callouts), ("selection_items", selection_items))
    write("{")
    for key, entries_of in lists:
        write(f'"{key}":')
        if entries_of is None:
            write('[{"id":"scene"}]')
        else:
            write_list(write, entries_of, count)
        write(",")
    write('"timeline":{"tracks":')
    write_list(write, lambda ks: tracks(ks, copies), count if with_tracks else 0)
    write("}}")


class Arguments(argparse.ArgumentParser):
    """Reports a usage error in one line, with exit status 2."""

    def error(self, message):
        print(f"{self.prog}: {message} (usage: {self.prog} N [--no-tracks | --copies])", file=sys.stderr)
        sys.exit(2)


def track_count(text):
    if not (text.isascii() and text.isdigit()):
        raise argparse.ArgumentTypeError(f"N must be a whole number of tracks, not {text!r}")
    return int(text)


def cannot_write(reason):
    print(f"make_illustration.py: cannot write the illustration: {reason}", file=sys.stderr)
    sys.exit(1)


def main():
    parser = Arguments(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("count", metavar="N", type=track_count, help="number of tracks (0 or more)")
    parser.add_argument("--no-tracks", action="store_true",
                        help="the same model with an empty timeline")
    parser.add_argument("--copies", action="store_true",
                        help="a quarter of the tracks copies or pieces of the track before")
    args = parser.parse_args()
    if args.copies and args.no_tracks:
        parser.error("--copies needs tracks")
    signal.signal(signal.SIGINT, signal.SIG_DFL)  # interrupted: stop at once, as any filter does
    if sys.stdout is None:
        cannot_write("standard output is closed")
    out = sys.stdout.buffer
    try:
        write_illustration(lambda text: out.write(text.encode("ascii")), args.count,
                           not args.no_tracks, args.copies)
        out.flush()
    except OSError as error:
        # What is still buffered cannot be written either: drop it rather than fail again at exit.
        os.dup2(os.open(os.devnull, os.O_WRONLY), out.fileno())
        cannot_write(error.strerror or error)


if __name__ == "__main__":
    main()
