# Writes the bytes of IN as the C++ array NAME (and NAME's size as SIZE) into OUT, in the
# namespace illhost: cmake -DIN=... -DOUT=... -DNAME=... -DSIZE=... -P embed_file.cmake
file(READ ${IN} bytes HEX)
string(LENGTH "${bytes}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "(..)" "'\\\\x\\1'," bytes "${bytes}")
string(REGEX REPLACE "(([^,]*,){16})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUT}.new "// Written by embed_file.cmake from ${IN}.
#include <cstddef>
namespace illhost {
extern char const ${NAME}[];
extern std::size_t const ${SIZE};
char const ${NAME}[] = {\n${bytes}0};
std::size_t const ${SIZE} = ${size};
}  // namespace illhost
")
file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.new)
