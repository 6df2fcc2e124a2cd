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

  // Room for about `count` ids without growing.
  void Reserve(std::size_t count) {
    entries_.reserve(count);
    while (slots_.size() * 3 < count * 4) Grow();
  }

  // False when the id is taken.
  bool Insert(std::string_view id, Kind kind, du::RefCounted* object) {
    std::uint32_t const hash = Hash(id);
    if ((entries_.size() + 1) * 4 > slots_.size() * 3) Grow();
    std::size_t const slot = Probe(id, hash);
    if (slots_[slot].index != 0) return false;
    entries_.push_back(Entry{id, object, hash, kind});
    slots_[slot] = Slot{hash, static_cast<std::uint32_t>(entries_.size())};
    return true;
  }

  // Valid until the next Insert.
  Entry* Find(std::string_view id) {
    if (slots_.empty()) return nullptr;
    std::uint32_t const index = slots_[Probe(id, Hash(id))].index;
    return index == 0 ? nullptr : &entries_[index - 1];
  }

 private:
  static std::uint32_t Hash(std::string_view id) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>()(id));
  }

  // A hash beside its entry, so that a probe reads an entry only when the hashes match.
  struct Slot {
    std::uint32_t hash;
    std::uint32_t index;  // 0 empty, else an index into entries_ plus one
  };

  // The slot that holds `id`, or the empty slot where it would go.
  std::size_t Probe(std::string_view id, std::uint32_t hash) const {
    std::size_t const mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
      Slot const s = slots_[slot];
      if (s.index == 0 || (s.hash == hash && entries_[s.index - 1].id == id)) return slot;
    }
  }

  void Grow() {
    std::vector<Slot> old(slots_.empty() ? 1024 : slots_.size() * 2, Slot{0, 0});
    old.swap(slots_);
    std::size_t const mask = slots_.size() - 1;
    for (Slot const& s : old) {
      if (s.index == 0) continue;
      std::size_t slot = s.hash & mask;
      while (slots_[slot].index != 0) slot = (slot + 1) & mask;
      slots_[slot] = s;
    }
  }

  std::vector<Entry> entries_;
  std::vector<Slot> slots_;
};

}  // namespace illhost
