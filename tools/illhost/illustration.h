// An illustration built in the host stand-in from a file, and the tracks that the file asks for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <boost/unordered/unordered_flat_map.hpp>

#include "host/animation.h"
#include "input_text.h"
#include "model.h"

namespace illhost {

struct TrackSpec {
  std::string id;
  du::SmartPtr<animation::Target> target;
  du::SmartPtr<qmk::SelectionItem> selectionItem;
  bool locked = false;
  int parentTrackType = 0;
  struct Stored {
    std::string name;
    std::vector<std::pair<du::Symbol, std::int64_t>> properties;
  };
  std::unique_ptr<Stored> stored;  // held apart: most tracks of a large file have none
  struct Rename {
    std::string name;
    bool byUser = false;
  };
  std::unique_ptr<Rename> rename;
  bool refresh = false;
  // Where the track's object lies in the text it was read from: [begin, end).
  std::size_t textBegin = 0, textEnd = 0;
};

// The id that the file gave each object, found from the object: the ids are kept one after
// another in one text, so that millions of them cost a few dozen bytes each.
class ObjectIds {
 public:
  void Set(void const* object, std::string_view id) {
    ids_[object] = {static_cast<std::uint32_t>(text_.size()),
                    static_cast<std::uint32_t>(id.size())};
    text_.append(id);
  }
  std::optional<std::string_view> Find(void const* object) const {
    auto const found = ids_.find(object);
    if (found == ids_.end()) return std::nullopt;
    return std::string_view(text_).substr(found->second.first, found->second.second);
  }

 private:
  boost::unordered_flat_map<void const*, std::pair<std::uint32_t, std::uint32_t>> ids_;
  std::string text_;
};

struct Illustration {
  hostmodel::Model model;
  std::vector<du::SmartPtr<du::RefCounted>> kept;
  bool saveSuppressed = false;
  std::vector<TrackSpec> tracks;
  // What the reader accepted but the user should know, one line each (without "illhost: ").
  std::vector<std::string> warnings;
  // How the shown selection items are named back: the ids of selection items and of SBOM
  // instances.
  ObjectIds itemIds;
  ObjectIds sbomIds;
};

// Reads an illustration into the host stand-in. Any text is accepted: what is not a valid
// illustration gives a ReadError whose one-line message names the file, the line, column and
// byte, the JSON path and what was expected there. Only one illustration may live at a time: it
// installs the world's and the application's trees. The text is walked where it lies; nothing
// read refers to it afterwards.
std::unique_ptr<Illustration> ReadIllustration(InputText const& input);
// The same for text without the parser's padding after it, which is copied first.
std::unique_ptr<Illustration> ReadIllustration(std::string_view text, std::string const& fileName);

}  // namespace illhost
