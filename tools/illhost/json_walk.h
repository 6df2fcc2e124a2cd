// Checked reading of JSON values as the parser walks them, for the illustration reader. A value
// of the wrong type, an unknown or repeated key or a number out of range is a ReadProblem at
// the byte where it starts; the reader turns that into a message with the line, column and
// path. Strings without escapes are given as views of the input text itself.
#pragma once

#include <simdjson.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace illhost {

namespace json = simdjson::ondemand;

struct ReadProblem {
  std::size_t offset;      // bytes before the value or key
  std::string what;        // e.g. "expected a string"
  std::string pathSuffix;  // added to the path of the place, e.g. ".id" for a missing key
};

class JsonWalk {
 public:
  explicit JsonWalk(char const* text) : text_(text) {}

  [[noreturn]] static void Fail(std::size_t offset, std::string what, std::string suffix = {}) {
    throw ReadProblem{offset, std::move(what), std::move(suffix)};
  }

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

  // Calls each(index, value) for each element; null is an empty list.
  template <class Each>
  void List(json::value& v, Each&& each) const {
    std::size_t const at = Offset(v);
    if (IsNull(v)) return;
    json::array list;
    if (v.get_array().get(list)) Fail(at, "expected a list");
    std::size_t index = 0;
    for (auto element : list) {
      json::value item;
      if (element.get(item)) Fail(at, "not valid JSON");
      each(index++, item);
    }
  }

  // Calls each(key index, value, key offset) for each member of an object whose keys are all
  // among `keys` (at most 32) and none repeated.
  template <class Keys, class Each>
  void Members(json::value& v, Keys const& keys, Each&& each) const {
    std::size_t const at = Offset(v);
    json::object object = Object(v, at);
    std::uint32_t seen = 0;
    for (auto member : object) {
      json::field field;
      if (std::move(member).get(field)) Fail(at, "not valid JSON");
      std::size_t const keyAt = KeyOffset(field);
      std::string_view const key = Key(field);
      std::size_t index = 0;
      while (index < std::size(keys) && keys[index] != key) ++index;
      if (index == std::size(keys)) Fail(keyAt, "unknown key " + Quoted(key));
      if (seen & (1u << index)) Fail(keyAt, "duplicate key " + Quoted(key));
      seen |= 1u << index;
      each(index, field.value(), keyAt);
    }
  }

  // Calls each(key, value) for each member of an object of any keys, none repeated.
  template <class Each>
  void Map(json::value& v, Each&& each) const {
    std::size_t const at = Offset(v);
    json::object object = Object(v, at);
    DistinctKeys keys;
    for (auto member : object) {
      json::field field;
      if (std::move(member).get(field)) Fail(at, "not valid JSON");
      std::size_t const keyAt = KeyOffset(field);
      std::string_view const key = Key(field);
      if (!keys.Insert(key)) Fail(keyAt, "duplicate key " + Quoted(key));
      each(key, field.value());
    }
  }

 private:
  // Keys seen in one object: a short list, or a hash set once there are many.
  class DistinctKeys {
   public:
    bool Insert(std::string_view key);

   private:
    std::vector<std::string_view> few_;
    std::unordered_set<std::string_view> many_;
  };

  static json::object Object(json::value& v, std::size_t at) {
    json::object object;
    if (v.get_object().get(object)) Fail(at, "expected an object");
    return object;
  }
  std::size_t KeyOffset(json::field& field) const {
    return static_cast<std::size_t>(field.key().raw() - 1 - text_);
  }
  std::string_view Key(json::field& field) const;
  static std::string Quoted(std::string_view text);

  char const* text_;
};

}  // namespace illhost
