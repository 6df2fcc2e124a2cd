// Prints the JSON Schema that the illustration format's tables give.
#include <iostream>

#include "illustration_format.h"

int main() {
  illhost::WriteSchema(std::cout);
  return std::cout.flush() ? 0 : 1;
}
