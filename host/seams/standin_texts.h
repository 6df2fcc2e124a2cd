// Texts that the stand-in host holds and that its callers (illhost, tests, fuzz targets and
// benchmarks) refer to. The module keeps its own copies: it is the other side of the interface.
#pragma once

namespace standin {

// The host's message catalogue entry for an object it cannot name itself, and its text
// unless an illustration sets another.
inline constexpr char kGenericMessageCatalogue[] = "qmbase:qmmodulesStrings";
inline constexpr char kGenericMessageId[] = "2045";
inline constexpr char kDefaultGenericText[] = "Unnamed object";

// The prefix of the identifiers that the host gives to content symbols, unless an
// illustration sets another.
inline constexpr char kDefaultContentPrefix[] = "@content:";

// The component that the host's animation library asks a plug-in module for.
inline constexpr char kAnimationComponentType[] = "animation";
inline constexpr char kAnimationComponentName[] = "illanimationinitializer";

}  // namespace standin
