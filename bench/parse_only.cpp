// The parser's own time over an illustration file: reads FILE as illhost does and walks every
// value with the same on-demand parser, building nothing. bench/time_illhost.py --parser runs
// it beside illhost over the same files, so that reading and building can be set against it.
#include <simdjson.h>

#include <cstdio>
#include <string>

#include "illustration_reader.h"
#include "input_text.h"

namespace {

namespace json = simdjson::ondemand;

// Counts the scalars under `value`; strings are unescaped as the reader does.
std::size_t Walk(json::value value) {
  json::json_type type;
  if (value.type().get(type)) return 0;
  std::size_t count = 0;
  switch (type) {
    case json::json_type::object:
      for (auto field : value.get_object()) {
        std::string_view key;
        if (!field.unescaped_key().get(key)) count += Walk(field.value());
      }
      return count;
    case json::json_type::array:
      for (auto element : value.get_array()) count += Walk(element.value());
      return count;
    case json::json_type::string: {
      std::string_view text;
      return value.get_string().get(text) ? 0 : 1;
    }
    default:
      return value.raw_json_token().empty() ? 0 : 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: illustration_parse_only FILE\n");
    return 1;
  }
  try {
    illhost::InputText const input = illhost::InputText::Load(argv[1]);
    std::string_view const text = input.Text();
    json::parser parser;
    json::document doc;
    json::value root;
    if (parser.iterate(text.data(), text.size(), text.size() + illhost::InputText::kPadding)
            .get(doc) ||
        doc.get_value().get(root)) {
      std::fprintf(stderr, "illustration_parse_only: %s: not valid JSON\n", argv[1]);
      return 2;
    }
    std::printf("%zu values\n", Walk(root));
  } catch (illhost::ReadError const& e) {
    std::fprintf(stderr, "illustration_parse_only: %s\n", e.what());
    return 2;
  }
  return 0;
}
