// The id that the file gave each object, found from the object: an open-addressed table of
// pointers over one buffer of id text, so that millions of objects cost a few dozen bytes each
// and a lookup touches one slot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace illhost {

class ObjectIds {
 public:
  // Gives `object` the id `id`, replacing any id it had.
  void Set(void const* object, std::string_view id) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    Slot& slot = slots_[Probe(object)];
    if (!slot.object) ++count_;
    slot = Slot{object, static_cast<std::uint32_t>(text_.size()),
                static_cast<std::uint32_t>(id.size())};
    text_.append(id);
  }

  // Nothing when the object was given no id.
  std::optional<std::string_view> Find(void const* object) const {
    if (slots_.empty()) return std::nullopt;
    Slot const& slot = slots_[Probe(object)];
    if (!slot.object) return std::nullopt;
    return std::string_view(text_).substr(slot.begin, slot.size);
  }

 private:
  struct Slot {
    void const* object;
    std::uint32_t begin, size;  // of the id in text_
  };

  std::size_t Probe(void const* object) const {
    std::size_t const mask = slots_.size() - 1;
    auto const bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(object));
    for (std::size_t i = (bits * 0x9E3779B97F4A7C15u >> 32) & mask;; i = (i + 1) & mask)
      if (!slots_[i].object || slots_[i].object == object) return i;
  }

  void Grow() {
    std::vector<Slot> old(slots_.empty() ? 64 : slots_.size() * 2, Slot{nullptr, 0, 0});
    old.swap(slots_);
    for (Slot const& slot : old)
      if (slot.object) slots_[Probe(slot.object)] = slot;
  }

  std::vector<Slot> slots_;
  std::size_t count_ = 0;
  std::string text_;
};

}  // namespace illhost
