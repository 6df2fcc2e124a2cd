// The module's version, carried in its file as an ELF note (owner "illanimation", type 1, the
// version text as its description) so that `readelf -n` or `strings` tell which release a
// module file is without loading it. The note is data only: no symbol, no code.
#include <cstddef>
#include <cstdint>

#include "illanimation/version.h"

namespace {

constexpr char kOwner[] = "illanimation";
constexpr char kVersion[] = ILLANIMATION_VERSION;
constexpr std::uint32_t kVersionNoteType = 1;

// Name and description of a note each fill a whole number of 4-byte words.
constexpr std::size_t WordPadded(std::size_t size) { return (size + 3) / 4 * 4; }
static_assert(WordPadded(12) == 12 && WordPadded(13) == 16, "pads up to the next word only");

struct VersionNote {
  std::uint32_t ownerSize;
  std::uint32_t versionSize;
  std::uint32_t type;
  char owner[WordPadded(sizeof kOwner)];
  char version[WordPadded(sizeof kVersion)];
};

constexpr VersionNote MakeVersionNote() {
  VersionNote note{sizeof kOwner, sizeof kVersion, kVersionNoteType, {}, {}};
  for (std::size_t i = 0; i < sizeof kOwner; ++i) note.owner[i] = kOwner[i];
  for (std::size_t i = 0; i < sizeof kVersion; ++i) note.version[i] = kVersion[i];
  return note;
}

[[gnu::used, gnu::section(".note.illanimation.version"),
  gnu::aligned(4)]] constexpr VersionNote kVersionNote = MakeVersionNote();

static_assert(sizeof kVersionNote % 4 == 0, "a note is a whole number of 4-byte words");

}  // namespace
