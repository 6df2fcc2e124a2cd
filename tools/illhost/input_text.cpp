#include "input_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

#include "fd_stream.h"
#include "quoting.h"

namespace illhost {

namespace {

// The illustration that illhost shows without a file: every target kind and every outcome
// of naming: own, following, default and a stored track that stays unresolved.
constexpr char kSampleIllustration[] = R"({
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

[[noreturn]] void Fail(std::string const& name, std::string const& reason) {
  throw ReadError(name + ": cannot be read: " + reason);
}

simdjson::padded_string Buffer(std::size_t size) {
  simdjson::padded_string bytes(size);
  if (!bytes.data()) OutOfMemory();
  return bytes;
}

// Reads to the end, to the first NUL byte or past kMaxSize, whichever comes first. A regular
// file is read into a buffer of its size; anything else (pipes, devices, a file that grows while
// it is read) into one that doubles, so that what is held stays within twice what was read.
std::pair<simdjson::padded_string, std::size_t> ReadAll(int fd, std::string const& name) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) Fail(name, std::strerror(errno));
  if (S_ISDIR(info.st_mode)) Fail(name, std::strerror(EISDIR));
  std::size_t capacity = 1 << 16;
  if (S_ISREG(info.st_mode) && info.st_size > 0) {
    if (static_cast<std::size_t>(info.st_size) > InputText::kMaxSize)
      Fail(name, "larger than 4 GiB");
    capacity = static_cast<std::size_t>(info.st_size) + 1;  // + 1 to see the end in one call
  }
  simdjson::padded_string bytes = Buffer(capacity);
  std::size_t size = 0;
  for (;;) {
    if (size == capacity) {
      if (size > InputText::kMaxSize) Fail(name, "larger than 4 GiB");
      capacity = std::min(capacity * 2, InputText::kMaxSize + 1);
      simdjson::padded_string larger = Buffer(capacity);
      std::memcpy(larger.data(), bytes.data(), size);
      bytes = std::move(larger);
    }
    ssize_t const got = ::read(fd, bytes.data() + size, capacity - size);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) Fail(name, std::strerror(errno));
    if (got == 0) break;
    auto const* nul = static_cast<char const*>(
        std::memchr(bytes.data() + size, 0, static_cast<std::size_t>(got)));
    size = nul ? static_cast<std::size_t>(nul - bytes.data()) + 1
               : size + static_cast<std::size_t>(got);
    if (nul) break;
  }
  std::memset(bytes.data() + size, 0, InputText::kPadding);
  return {std::move(bytes), size};
}

}  // namespace

void OutOfMemory() {
  if (std::new_handler const handler = std::get_new_handler()) handler();
  throw std::bad_alloc();
}

InputText InputText::Load(std::string const& path) {
  bool const standardInput = path == "-";
  std::string name = standardInput ? "(standard input)" : EscapeControls(path);
  try {
    Fd const file(standardInput ? -1 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!standardInput && file.get() < 0) Fail(name, std::strerror(errno));
    auto [bytes, size] = ReadAll(standardInput ? STDIN_FILENO : file.get(), name);
    return InputText(std::move(bytes), size, std::move(name));
  } catch (std::bad_alloc const&) {
    Fail(name, "out of memory");
  }
}

InputText InputText::FromText(std::string_view text, std::string name) {
  simdjson::padded_string bytes = Buffer(text.size());
  if (!text.empty()) std::memcpy(bytes.data(), text.data(), text.size());
  return InputText(std::move(bytes), text.size(), std::move(name));
}

InputText InputText::Sample() { return FromText(kSampleIllustration, "(built-in sample)"); }

}  // namespace illhost
