// Prints what the illustration format's tables give: `schema` (the JSON Schema), `keys` (every
// key, one a line) or `sample` (the built-in sample illustration). Exit status 2 for anything else.
#include <cstring>
#include <iostream>

#include "illustration_format.h"
#include "sample.h"

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "schema") == 0) {
    illhost::WriteSchema(std::cout);
  } else if (argc == 2 && std::strcmp(argv[1], "keys") == 0) {
    illhost::WriteKeys(std::cout);
  } else if (argc == 2 && std::strcmp(argv[1], "sample") == 0) {
    std::cout << illhost::kSampleIllustration;
  } else {
    std::cerr << "usage: illustration_format schema|keys|sample\n";
    return 2;
  }
  return std::cout.flush() ? 0 : 1;
}
