#include "host/utilities.h"

#include <cassert>
#include <map>
#include <ostream>
#include <unordered_set>

#include "seam_hooks.h"
#include "standin_texts.h"

namespace du {

namespace {
// The interned texts live for the whole process: symbols are plain pointers into this pool,
// and key symbols of plug-ins may be destroyed after the host's own statics.
std::unordered_set<std::string>& Pool() {
  static auto* pool = new std::unordered_set<std::string>;
  return *pool;
}
std::string const* Intern(std::string const& text) {
  static std::string const* const empty = &*Pool().insert(std::string()).first;
  if (text.empty()) return empty;
  return &*Pool().insert(text).first;
}
}  // namespace

Symbol::Symbol() noexcept : text_(Intern(std::string())) {}
Symbol::Symbol(char const* text) : text_(Intern(text ? std::string(text) : std::string())) {}
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
