// Prints the JSON Schema that the illustration format's tables give (`schema`) or the built-in
// sample illustration (`sample`).
#include <cstring>
#include <iostream>

#include "illustration_format.h"
#include "input_text.h"

int main(int argc, char** argv) {
  bool const schema = argc == 2 && std::strcmp(argv[1], "schema") == 0;
  if (!schema && !(argc == 2 && std::strcmp(argv[1], "sample") == 0)) {
    std::cerr << "usage: illustration_format schema|sample\n";
    return 2;
  }
  if (schema) illhost::WriteSchema(std::cout);
  if (!schema) std::cout << illhost::InputText::Sample().Text();
  return std::cout.flush() ? 0 : 1;
}
