#include "sample.h"

namespace illhost {
char const kSampleIllustration[] = R"({
  "instances": [
    {"id": "bolt", "name": "bolt.1", "display_name": "Bolt M8", "sbom": "s-bolt"},
    {"id": "frame", "name": "frame", "display_name": "Frame assembly"}
  ],
  "sbom": [
    {"id": "s-frame", "symbol": "FRAME", "name": "Frame", "display_name": "Welded frame"},
    {"id": "s-bolt", "symbol": "BOLT-M8", "name": "Bolt", "display_name": "Hex bolt M8", "ebom": "bolt",
     "parent": "s-frame", "properties": {"Item": {"sBOM Name": "BOLT-M8"}}}
  ],
  "objects": [{"id": "body"}],
  "scenes": [{"id": "scene"}],
  "annotations": [
    {"id": "axis", "kind": "center_line", "object": "bolt"},
    {"id": "axis-pending", "kind": "center_line",
     "pending": {"type": "Instance", "fields": {"instance": "bolt", "sbomInstanceId": "s-bolt"}}},
    {"id": "label", "kind": "callout", "short_description": "Callout 1", "attachments": [["", "s-bolt"]],
     "definition": {"content": [{"text": "Item "}, {"group": "Item", "property": "sBOM Name", "kind": "Value"}]}},
    {"id": "label-lost", "kind": "callout", "short_description": "Callout 2", "attachments": [["", "s-washer"]],
     "definition": {"content": [{"text": "Item "}, {"group": "Item", "property": "sBOM Name", "kind": "Value"}]}},
    {"id": "note", "kind": "annotation", "class": "Note"}
  ],
  "selection_items": [
    {"id": "i-bolt", "type": "Instance", "display_name": "Bolt M8", "object": "bolt"},
    {"id": "i-frame", "type": "Assembly", "display_name": "Frame assembly", "object": "frame"},
    {"id": "i-face", "type": "Face3D", "display_name": "bolt.1::Face 3", "parent_object": "bolt"},
    {"id": "i-axis", "type": "Annotation", "display_name": "Center line 1", "annotation": "axis"},
    {"id": "i-pending", "type": "Annotation", "display_name": "Center line 2", "annotation": "axis-pending"},
    {"id": "i-label", "type": "Annotation", "display_name": "Callout 1", "annotation": "label"},
    {"id": "i-label-lost", "type": "Annotation", "display_name": "Callout 2", "annotation": "label-lost"},
    {"id": "i-note", "type": "Annotation", "display_name": "Note 1", "annotation": "note"},
    {"id": "i-list", "type": "Collection", "display_name": "Parts list"}
  ],
  "timeline": {"tracks": [
    {"id": "t-bolt", "target": {"item": "i-bolt", "scene": "scene"}},
    {"id": "t-frame", "target": {"item": "i-frame", "scene": "scene"}},
    {"id": "t-face", "target": {"item": "i-face", "scene": "scene"}},
    {"id": "t-axis", "target": {"item": "i-axis", "scene": "scene"}},
    {"id": "t-axis-pending", "target": {"item": "i-pending", "scene": "scene"}},
    {"id": "t-label", "target": {"item": "i-label", "scene": "scene"}},
    {"id": "t-note", "target": {"item": "i-note", "scene": "scene"}},
    {"id": "t-list", "target": {"item": "i-list", "scene": "scene"}},
    {"id": "t-empty", "target": null},
    {"id": "t-renamed", "target": {"item": "i-bolt", "scene": "scene"}, "rename": {"name": "My bolt", "by_user": true}},
    {"id": "t-quiet", "target": {"item": "i-bolt", "scene": "scene"}, "rename": {"name": "Quiet", "by_user": false}},
    {"id": "t-old-file", "target": {"item": "i-bolt", "scene": "scene"}, "stored": {"name": "Bolt M8"}},
    {"id": "t-old-ebom", "target": {"item": "i-bolt", "scene": "scene"}, "stored": {"name": "bolt.1"}},
    {"id": "t-old-own", "target": {"item": "i-frame", "scene": "scene"}, "stored": {"name": "Frame of the cart"}},
    {"id": "t-locked", "target": {"item": "i-frame", "scene": "scene"}, "locked": true, "refresh": true},
    {"id": "t-old-callout", "target": {"item": "i-label-lost", "scene": "scene"}, "stored": {"name": "Item WASHER-8"}}
  ]}
})";
}  // namespace illhost
