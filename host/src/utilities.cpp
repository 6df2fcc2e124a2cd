#include "host/utilities.h"

#include <cassert>
#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string_view>
#include <vector>

#include "seam_hooks.h"
#include "standin_texts.h"

namespace du {

namespace {
// The interned texts live for the whole process: symbols are plain pointers into this pool,
// and key symbols of plug-ins may be destroyed after the host's own statics. Texts are kept
// in blocks that never move, and found through an open-addressed table of their hashes, so
// that an illustration of millions of names costs one table probe and no allocation per
// name already known.
class Pool {
 public:
  std::string const* Intern(std::string_view text) {
    auto const hash = static_cast<std::uint32_t>(std::hash<std::string_view>()(text));
    if ((count_ + 1) * 4 > slots_.size() * 3) Grow();
    std::size_t const mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      Slot& slot = slots_[i];
      if (slot.index == kEmpty) {
        slot = Slot{hash, count_++};
        return Store(text);
      }
      if (slot.hash == hash && Text(slot.index) == text) return &Text(slot.index);
    }
  }

 private:
  // A text's hash and its place among the stored texts, 8 bytes a name.
  struct Slot {
    std::uint32_t hash;
    std::uint32_t index;
  };
  static constexpr std::uint32_t kEmpty = ~std::uint32_t{0};
  static constexpr std::size_t kBlockBits = 12;

  std::string& Text(std::uint32_t index) const {
    return blocks_[index >> kBlockBits][index & ((1u << kBlockBits) - 1)];
  }

  std::string const* Store(std::string_view text) {
    std::uint32_t const index = count_ - 1;
    if ((index >> kBlockBits) == blocks_.size())
      blocks_.emplace_back(new std::string[std::size_t{1} << kBlockBits]);
    std::string& stored = Text(index);
    stored.assign(text.data(), text.size());
    return &stored;
  }

  void Grow() {
    std::vector<Slot> old(slots_.empty() ? 1024 : slots_.size() * 2, Slot{0, kEmpty});
    old.swap(slots_);
    std::size_t const mask = slots_.size() - 1;
    for (Slot const& slot : old) {
      if (slot.index == kEmpty) continue;
      std::size_t i = slot.hash & mask;
      while (slots_[i].index != kEmpty) i = (i + 1) & mask;
      slots_[i] = slot;
    }
  }

  std::vector<Slot> slots_;
  std::uint32_t count_ = 0;
  std::vector<std::unique_ptr<std::string[]>> blocks_;
};

std::string const* Intern(std::string_view text) {
  static auto* pool = new Pool;
  return pool->Intern(text);
}
}  // namespace

Symbol::Symbol() noexcept : text_(Intern(std::string_view())) {}
Symbol::Symbol(char const* text)
    : text_(Intern(text ? std::string_view(text) : std::string_view())) {}
Symbol::Symbol(std::string const& text) : text_(Intern(text)) {}
void Symbol::Print(std::ostream& out) const { out << *text_; }
const Symbol Symbol::EMPTY;

std::ostream& operator<<(std::ostream& out, Symbol const& symbol) {
  symbol.Print(out);
  return out;
}

RefCounted::RefCounted() noexcept {
  if (hostseams::detail::g_ledgerOn) hostseams::detail::TrackObject(this, true);
}
RefCounted::RefCounted(RefCounted const&) noexcept : RefCounted() {}
// Debug builds catch a holder that releases a reference it never took and an owner that
// destroys an object that smart pointers still hold: both leave a pointer to freed memory.
RefCounted::~RefCounted() {
  assert(count_ == 0 && "RefCounted destroyed while references to it remain");
  if (hostseams::detail::g_ledgerOn) hostseams::detail::TrackObject(this, false);
}
bool RefCounted::ZeroReferenceCountHook() const { return true; }

void RefCounted::AddReference(void const* holder) const noexcept {
  ++count_;
  if (hostseams::detail::g_ledgerOn) hostseams::detail::TrackReference(this, holder, +1);
}

int RefCounted::RemoveReference(void const* holder) const noexcept {
  assert(count_ > 0 && "RefCounted reference count would go negative");
  --count_;
  if (hostseams::detail::g_ledgerOn) hostseams::detail::TrackReference(this, holder, -1);
  return count_;
}

void RefCounted::MoveReference(void const* from, void const* to) const noexcept {
  if (hostseams::detail::g_ledgerOn) hostseams::detail::MoveReference(this, from, to);
}

namespace detail {
void Release(RefCounted const* object, void const* holder) noexcept {
  if (object->RemoveReference(holder) != 0) return;
  object->AddReference(holder);
  if (!object->ZeroReferenceCountHook()) return;
  if (object->RemoveReference(holder) == 0) delete const_cast<RefCounted*>(object);
}
}  // namespace detail

namespace {
std::map<std::pair<std::string, std::string>, std::string>& Catalogues() {
  // The host's generic name for an object that has no name of its own.
  static auto* catalogues = new std::map<std::pair<std::string, std::string>, std::string>{
      {{standin::kGenericMessageCatalogue, standin::kGenericMessageId},
       standin::kDefaultGenericText}};
  return *catalogues;
}
}  // namespace

Localizer::Localizer(std::string const& catalogue) : catalogue_(catalogue) {
  QM_HOST_CALL("du::Localizer::Localizer");
}
Localizer::~Localizer() = default;

std::string Localizer::LocalizeMessage(std::string const& id, ActionOnFailure action) const {
  QM_HOST_CALL("du::Localizer::LocalizeMessage");
  auto found = Catalogues().find({catalogue_, id});
  if (found != Catalogues().end()) return found->second;
  return action == ReturnMessageId ? id : std::string();
}

void Localizer::SetMessage(std::string const& catalogue, std::string const& id, std::string text) {
  Catalogues()[{catalogue, id}] = std::move(text);
}

void Localizer::RemoveMessage(std::string const& catalogue, std::string const& id) {
  Catalogues().erase({catalogue, id});
}

}  // namespace du

namespace dp {

QMTracer::QMTracer(char const* module, char const* category)
    : module_(module), category_(category) {
  QM_HOST_CALL("dp::QMTracer::QMTracer");
}
QMTracer::~QMTracer() = default;

void QMTracer::operator()(char const* message) const {
  QM_HOST_CALL("dp::QMTracer::operator()");
  hostseams::detail::WriteTrace(std::string("[") + module_ + "/" + category_ + "] " + message);
}

}  // namespace dp
