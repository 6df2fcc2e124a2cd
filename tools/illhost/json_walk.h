// Checked reading of JSON values by the shapes of the illustration format, as simdjson's
// on-demand parser walks them; the walk keeps its path, so that each problem names its byte and
// its path. Strings without escapes are views of the input text itself.
#pragma once

#include <simdjson.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "illustration_format.h"
#include "quoting.h"

namespace illhost {

namespace json = simdjson::ondemand;

struct ReadProblem {
  std::size_t offset;  // bytes before the value or key
  std::string path;    // e.g. "$.objects[0].id"
  std::string what;    // e.g. "expected a string"
};

struct PathStep {
  std::string_view key;
  std::size_t index = 0;
};

// The first fault of the JSON itself in `text`, with its path.
std::optional<ReadProblem> FirstSyntaxFault(std::string_view text);

struct Field {
  std::size_t at = 0, keyAt = 0;  // where the value and its key start
  std::string_view text;          // a string, or the id of a reference
  std::int64_t number = 0;        // a flag (0 or 1) or an integer
  bool given = false;             // the key is there, even with null
  bool null = true;
};

class Fields {
 public:
  explicit Fields(Shape const& shape) : shape_(shape) {}
  Field const& operator[](std::size_t key) const { return fields_[key]; }
  Field& operator[](std::size_t key) { return fields_[key]; }
  // The value, or the key's default when it is missing or null.
  std::string_view Text(std::size_t key) const {
    return fields_[key].null ? shape_.keys[key].text : fields_[key].text;
  }
  std::int64_t Number(std::size_t key) const {
    return fields_[key].null ? shape_.keys[key].number : fields_[key].number;
  }
  std::string String(std::size_t key) const { return std::string(Text(key)); }
  bool Flag(std::size_t key) const { return Number(key) != 0; }
  int Int(std::size_t key) const { return static_cast<int>(Number(key)); }

 private:
  Shape const& shape_;
  std::array<Field, kMaxKeys> fields_{};
};

class JsonWalk {
 public:
  explicit JsonWalk(char const* text) : text_(text) {}

  [[noreturn]] void Fail(std::size_t at, std::string what, std::string_view key = {}) const;
  std::string Where(std::string_view key = {}, std::size_t const* index = nullptr) const;

  std::size_t Offset(json::value& v) const {
    return static_cast<std::size_t>(v.raw_json_token().data() - text_);
  }
  bool IsNull(json::value& v) const {
    bool null = false;
    return !v.is_null().get(null) && null;
  }
  std::string_view String(json::value& v) const;
  bool Flag(json::value& v) const;
  std::int64_t Integer(json::value& v) const;
  int SmallInteger(json::value& v) const;  // fits an int

  // Calls nested(key, value) for each object, list or map that is not null.
  template <class Nested>
  Fields Read(json::value& v, Shape const& shape, Nested&& nested) {
    std::size_t const at = Offset(v);
    json::object object;
    if (v.get_object().get(object)) Fail(at, "expected an object");
    return Read(object, at, shape, nested);
  }
  template <class Nested>
  Fields Read(json::object& object, std::size_t at, Shape const& shape, Nested&& nested) {
    Fields fields(shape);
    for (auto member : object) {
      json::field pair;
      if (std::move(member).get(pair)) Fail(at, "not valid JSON");
      std::size_t const keyAt = KeyOffset(pair);
      std::string_view const name = KeyText(pair);
      std::size_t key = 0;
      while (key < shape.count && shape.keys[key].name != name) ++key;
      if (key == shape.count) Fail(keyAt, "unknown key " + QuoteInput(name));
      Field& field = fields[key];
      if (field.given) Fail(keyAt, "duplicate key " + QuoteInput(name));
      field.given = true;
      field.keyAt = keyAt;
      path_.push_back(PathStep{shape.keys[key].name});
      ReadValue(pair.value(), shape.keys[key], field);
      if (!field.null && shape.keys[key].type >= Type::References) nested(key, pair.value());
      path_.pop_back();
    }
    for (std::size_t key = 0; key < shape.count; ++key)
      if (Required(shape.keys[key].type) && !fields[key].given)
        Fail(at, "missing", shape.keys[key].name);
    return fields;
  }

  template <class Each>
  void List(json::value& v, Each&& each) {
    std::size_t const at = Offset(v);
    json::array list;
    if (v.get_array().get(list)) Fail(at, "expected a list");
    path_.push_back(PathStep{{}, 0});
    for (auto element : list) {
      json::value item;
      if (element.get(item)) Fail(at, "not valid JSON");
      each(path_.back().index, item);
      ++path_.back().index;
    }
    path_.pop_back();
  }

  // An object of any keys, none repeated.
  template <class Each>
  void Map(json::value& v, Each&& each) {
    std::size_t const at = Offset(v);
    json::object object;
    if (v.get_object().get(object)) Fail(at, "expected an object");
    std::array<std::string_view, 16> few;  // most maps have a key or two: no hash set for them
    std::size_t count = 0;
    std::unordered_set<std::string_view> many;
    for (auto member : object) {
      json::field pair;
      if (std::move(member).get(pair)) Fail(at, "not valid JSON");
      std::size_t const keyAt = KeyOffset(pair);
      std::string_view const key = KeyText(pair);
      bool repeated = std::find(few.begin(), few.begin() + count, key) != few.begin() + count;
      if (count < few.size()) {
        few[count++] = key;
      } else {
        if (many.empty()) many.insert(few.begin(), few.end());
        repeated = !many.insert(key).second;
      }
      if (repeated) Fail(keyAt, "duplicate key " + QuoteInput(key));
      path_.push_back(PathStep{key});
      each(key, pair.value());
      path_.pop_back();
    }
  }

 private:
  void ReadValue(json::value& v, illhost::Key const& key, Field& field);
  std::size_t KeyOffset(json::field& pair) const {
    return static_cast<std::size_t>(pair.key().raw() - 1 - text_);
  }
  std::string_view KeyText(json::field& pair) const;

  char const* text_;
  std::vector<PathStep> path_;
};

}  // namespace illhost
