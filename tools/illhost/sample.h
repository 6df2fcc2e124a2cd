#pragma once

namespace illhost {
// The illustration that illhost shows without a file: every target kind and every name type.
extern char const kSampleIllustration[];
}  // namespace illhost
