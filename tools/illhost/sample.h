#pragma once

namespace illhost {
// The illustration that illhost shows without a file: every target kind and every outcome
// of naming: own, following, default and a stored track that stays unresolved.
extern char const kSampleIllustration[];
}  // namespace illhost
