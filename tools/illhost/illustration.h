// An illustration built in the host stand-in from a file, and the tracks that the file asks for.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <boost/unordered/unordered_flat_map.hpp>

#include "host/animation.h"
#include "input_text.h"
#include "model.h"

namespace illhost {

enum class Made : std::uint8_t { Created, Stored, Copy, Cut };
constexpr std::uint32_t kNoTrack = UINT32_MAX;

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
  Made made = Made::Created;
  // Places of earlier tracks, and how many later tracks take this one.
  std::uint32_t source = kNoTrack, copyFrom = kNoTrack, takers = 0;
  struct Cut {
    std::int64_t start, end;
  };
  std::unique_ptr<Cut> cut;
  std::size_t textBegin = 0, textEnd = 0;
  std::uint32_t firstMember = 0;
  std::uint8_t memberCount = 0;
};

// kDropped marks a member that --save drops although its key is kept elsewhere (a copy's
// "target": null, which stands for its source's target).
struct TrackMember {
  static constexpr std::uint8_t kDropped = 0x80;
  std::uint32_t keyAt;
  std::uint8_t key;
};

// The ids are kept one after another in one text, so that millions cost a few dozen bytes each.
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

struct TrackResult {
  std::string id;
  Made made = Made::Created;
  std::uint32_t source = kNoTrack, copyFrom = kNoTrack;
  bool none = false;   // a cut that gave no piece, or a copy of such: nothing below was driven
  std::string target;  // the target's item id, "" for none
  std::optional<std::int64_t> nameTypeBefore, nameType;
  std::string trackName, shownName, description;
  bool usesTargetName = false;
  std::optional<std::string> selectionItem;
  std::vector<std::pair<std::string, std::int64_t>> saved;
};

struct Illustration {
  hostmodel::Model model;
  std::vector<du::SmartPtr<du::RefCounted>> kept;
  bool saveSuppressed = false;
  std::vector<TrackSpec> tracks;
  std::vector<TrackMember> members;   // each track's, in the order of the text
  std::vector<std::string> warnings;  // accepted but worth a line to the user (no "illhost: ")
  ObjectIds itemIds, sbomIds;         // how shown selection items are named back
};

// Only one illustration may live at a time: it installs the world's and the application's trees.
std::unique_ptr<Illustration> ReadIllustration(InputText const& input);
std::unique_ptr<Illustration> ReadIllustration(std::string_view text, std::string const& fileName);

// --save: each track keeps its members as written but those the format marks dropped, and gets
// "stored" last. All else, and a track of which no track was made, is written as it was read.
void WriteStoredIllustration(InputText const& source, Illustration const& illustration,
                             std::vector<TrackResult> const& results, std::ostream& out);

}  // namespace illhost
