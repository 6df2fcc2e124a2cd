// The ids of an illustration while it is read: what each names, in an open-addressed table of
// small slots over one array of entries, so that millions of ids cost a few dozen bytes each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "host/utilities.h"

namespace illhost {

enum class Kind : std::uint8_t {
  Instance,
  Sbom,
  Object,
  Scene,
  CenterLine,
  Callout,
  Annotation,
  Item,
  Track
};

class IdIndex {
 public:
  struct Entry {
    std::string_view id;
    du::RefCounted* object;  // owned by the illustration; null for a track or a pending item
    std::uint32_t hash;
    Kind kind;
  };

  // False when the id is taken.
  bool Insert(std::string_view id, Kind kind, du::RefCounted* object) {
    std::uint32_t const hash = Hash(id);
    if ((entries_.size() + 1) * 2 > slots_.size()) Grow();
    std::size_t slot = Probe(id, hash);
    if (slots_[slot] != 0) return false;
    entries_.push_back(Entry{id, object, hash, kind});
    slots_[slot] = static_cast<std::uint32_t>(entries_.size());
    return true;
  }

  // Valid until the next Insert.
  Entry* Find(std::string_view id) {
    if (slots_.empty()) return nullptr;
    std::uint32_t const slot = slots_[Probe(id, Hash(id))];
    return slot == 0 ? nullptr : &entries_[slot - 1];
  }

 private:
  static std::uint32_t Hash(std::string_view id) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>()(id));
  }

  // The slot that holds `id`, or the empty slot where it would go.
  std::size_t Probe(std::string_view id, std::uint32_t hash) const {
    std::size_t const mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
      std::uint32_t const at = slots_[slot];
      if (at == 0) return slot;
      Entry const& e = entries_[at - 1];
      if (e.hash == hash && e.id == id) return slot;
    }
  }

  void Grow() {
    std::vector<std::uint32_t> old(slots_.empty() ? 1024 : slots_.size() * 2, 0);
    old.swap(slots_);
    std::size_t const mask = slots_.size() - 1;
    for (std::uint32_t i = 0; i < entries_.size(); ++i) {
      std::size_t slot = entries_[i].hash & mask;
      while (slots_[slot] != 0) slot = (slot + 1) & mask;
      slots_[slot] = i + 1;
    }
  }

  std::vector<Entry> entries_;
  std::vector<std::uint32_t> slots_;  // 0 empty, else an index into entries_ plus one
};

}  // namespace illhost
