// Construction, copying, renaming, saving and loading of a track's name type.
#include "IllustrationItemTrack.h"
#include "key_symbols.h"

namespace illanimation {

namespace {
// A track that the host made before the module's factories were installed has no name type
// of its own; its copy starts unresolved.
std::int16_t NameTypeOf(du::SmartPtr<animation::ItemTrackData> const& source) {
  auto const* track = dynamic_cast<IllustrationItemTrack const*>(source.get());
  return track ? track->GetNameType() : static_cast<std::int16_t>(NameType::Unresolved);
}
}  // namespace

IllustrationItemTrack::IllustrationItemTrack()
    : nameType_(static_cast<std::int16_t>(NameType::Unresolved)) {}

IllustrationItemTrack::IllustrationItemTrack(du::SmartPtr<animation::ItemTrackData> const& source)
    : animation::ItemTrackData(source), nameType_(NameTypeOf(source)) {}

IllustrationItemTrack::~IllustrationItemTrack() = default;

std::string IllustrationItemTrack::GetTrackName() {
  return Is(NameType::FromTarget) ? m_displayName : m_trackName;
}

void IllustrationItemTrack::SetTrackName(std::string const& name,
                                         du::SmartPtr<qmk::Operation> const& operation) {
  // A rename that comes with an operation is the user's: the name becomes the track's own.
  if (operation) SetNameType(NameType::Custom);
  if (&name != &m_displayName) m_displayName = name;
  animation::TrackData::SetTrackName(name, operation);
}

bool IllustrationItemTrack::UsesTargetName() { return Is(NameType::FromTarget); }

void IllustrationItemTrack::CopyFrom(du::SmartPtr<animation::ItemTrackData> const& other) {
  du::SmartPtr<IllustrationItemTrack> source = other.DynamicCast<IllustrationItemTrack>();
  if (!source) return;
  nameType_ = source->nameType_;
  if (source.get() != this) m_displayName = source->m_displayName;
}

void IllustrationItemTrack::Save(animation::PropertyWriter& writer) {
  du::SmartPtr<animation::Timeline> timeline = GetTimeline();
  if (!timeline || timeline->IsSaveSuppressed()) return;
  writer.SetInt(keys::NameType, nameType_);
}

void IllustrationItemTrack::Load(animation::PropertyReader& reader) {
  std::int64_t const index = reader.FindKey(keys::NameType);
  if (index == -1) {
    SetNameType(NameType::Unresolved);
    return;
  }
  // The stored value is kept as it is, cut to the field's 16 bits.
  nameType_ = static_cast<std::int16_t>(static_cast<std::uint16_t>(reader.GetInt(index) & 0xFFFF));
}

}  // namespace illanimation
