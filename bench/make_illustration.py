#!/usr/bin/env python3
"""Writes an illustration file for illhost with N tracks: part instances with SBOM instances,
and every fourth track a callout labelling its SBOM name. With --no-tracks the same model
comes with an empty timeline, which measures reading and building alone."""
import json
import sys


def illustration(tracks, with_tracks=True):
    doc = {"instances": [], "sbom": [], "scenes": [{"id": "scene"}], "annotations": [],
           "selection_items": [], "timeline": {"tracks": []}}
    for k in range(tracks):
        doc["instances"].append({"id": f"i{k}", "name": f"part.{k}", "display_name": f"Part {k}", "sbom": f"s{k}"})
        doc["sbom"].append({"id": f"s{k}", "symbol": f"SB-{k}", "name": f"Sbom {k}", "display_name": f"Shown {k}",
                            "ebom": f"i{k}", "properties": {"g": {"sBOM Name": f"Bolt {k}"}}})
        if k % 4 == 3:
            doc["annotations"].append({"id": f"c{k}", "kind": "callout", "short_description": "Item",
                                       "attachments": [["", f"s{k}"]],
                                       "definition": {"content": [{"group": "g", "property": "sBOM Name",
                                                                   "kind": "Value"}]}})
            doc["selection_items"].append({"id": f"item{k}", "type": "Annotation", "annotation": f"c{k}",
                                           "display_name": f"Callout {k}"})
            name = f"Item SB-{k}"
        else:
            doc["selection_items"].append({"id": f"item{k}", "type": "Instance", "object": f"i{k}",
                                           "display_name": f"Part {k}"})
            name = f"part.{k}"
        if with_tracks:
            track = {"id": f"t{k}", "target": {"item": f"item{k}", "scene": "scene"}}
            if k % 2:  # half are stored tracks of an old file, to be classified
                track["stored"] = {"name": name, "properties": {}}
            doc["timeline"]["tracks"].append(track)
    return doc


if __name__ == "__main__":
    count = int(sys.argv[1])
    json.dump(illustration(count, "--no-tracks" not in sys.argv[2:]), sys.stdout, separators=(",", ":"))
