// The parser's own time over an illustration file: reads FILE as illhost does and walks every
// value with the same on-demand parser, building nothing. bench/time_illhost.py --parser runs
// it beside illhost over the same files, so that reading and building can be set against it.
// With --sax it walks the file with nlohmann-json's SAX interface instead, the other parser
// that was measured for the reader.
#include <simdjson.h>

#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>

#include "input_text.h"

namespace {

namespace json = simdjson::ondemand;

// Counts the scalars under `value`. Strings and keys are taken as the reader takes them: in
// place, unescaped only when they have escapes.
bool HasEscape(char const* quote) {
  char const* p = quote + 1;
  while (*p != '"' && *p != '\\') ++p;
  return *p == '\\';
}

std::size_t Walk(json::value value) {
  json::json_type type;
  if (value.type().get(type)) return 0;
  std::size_t count = 0;
  switch (type) {
    case json::json_type::object:
      for (auto member : value.get_object()) {
        json::field field;
        std::string_view key;
        if (std::move(member).get(field)) return count;
        if (HasEscape(field.key().raw() - 1) && field.unescaped_key().get(key)) return count;
        count += Walk(field.value());
      }
      return count;
    case json::json_type::array:
      for (auto element : value.get_array()) count += Walk(element.value());
      return count;
    case json::json_type::string: {
      std::string_view text;
      json::raw_json_string raw;
      if (HasEscape(value.raw_json_token().data())) return value.get_string().get(text) ? 0 : 1;
      return value.get_raw_json_string().get(raw) ? 0 : 1;
    }
    default:
      return value.raw_json_token().empty() ? 0 : 1;
  }
}

// Counts the scalars that nlohmann-json's SAX parser reports.
struct Counter : nlohmann::json_sax<nlohmann::json> {
  std::size_t values = 0;
  bool null() override { return ++values, true; }
  bool boolean(bool) override { return ++values, true; }
  bool number_integer(number_integer_t) override { return ++values, true; }
  bool number_unsigned(number_unsigned_t) override { return ++values, true; }
  bool number_float(number_float_t, string_t const&) override { return ++values, true; }
  bool string(string_t&) override { return ++values, true; }
  bool binary(binary_t&) override { return true; }
  bool start_object(std::size_t) override { return true; }
  bool key(string_t&) override { return true; }
  bool end_object() override { return true; }
  bool start_array(std::size_t) override { return true; }
  bool end_array() override { return true; }
  bool parse_error(std::size_t, std::string const&, nlohmann::detail::exception const&) override {
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  bool const sax = argc == 3 && std::strcmp(argv[1], "--sax") == 0;
  if (argc != 2 && !sax) {
    std::fprintf(stderr, "usage: illustration_parse_only [--sax] FILE\n");
    return 1;
  }
  char const* const file = argv[argc - 1];
  try {
    illhost::InputText const input = illhost::InputText::Load(file);
    std::string_view const text = input.Text();
    if (sax) {
      Counter counter;
      if (!nlohmann::json::sax_parse(text.begin(), text.end(), &counter)) {
        std::fprintf(stderr, "illustration_parse_only: %s: not valid JSON\n", file);
        return 2;
      }
      std::printf("%zu values\n", counter.values);
      return 0;
    }
    json::parser parser;
    json::document doc;
    json::value root;
    if (parser.iterate(text.data(), text.size(), text.size() + illhost::InputText::kPadding)
            .get(doc) ||
        doc.get_value().get(root)) {
      std::fprintf(stderr, "illustration_parse_only: %s: not valid JSON\n", file);
      return 2;
    }
    std::printf("%zu values\n", Walk(root));
  } catch (illhost::ReadError const& e) {
    std::fprintf(stderr, "illustration_parse_only: %s\n", e.what());
    return 2;
  }
  return 0;
}
