#include "illustration_format.h"

#include <climits>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

namespace illhost {

namespace {

using nlohmann::json;

// Any key but "id", "type" and "kind" may also be null, which stands for its default.
json OrNull(json schema) {
  if (schema.contains("type")) {
    schema["type"] = json::array({schema["type"], "null"});
    return schema;
  }
  return json{{"anyOf", json::array({schema, json{{"type", "null"}}})}};
}

json Ref(Shape const& shape) { return json{{"$ref", "#/$defs/" + std::string(shape.name)}}; }

json Schema(Key const& key) {
  json string{{"type", "string"}},
      int64{{"type", "integer"}, {"minimum", INT64_MIN}, {"maximum", INT64_MAX}};
  switch (key.type) {
    case Type::Id:
    case Type::Word:
    case Type::Reference:
    case Type::Text:
      return key.text.empty() ? string : json{{"type", "string"}, {"default", key.text}};
    case Type::Position:
      return int64;
    case Type::Flag:
      return json{{"type", "boolean"}, {"default", key.number != 0}};
    case Type::Int:
      return json{
          {"type", "integer"}, {"minimum", INT_MIN}, {"maximum", INT_MAX}, {"default", key.number}};
    case Type::References:
      return json{{"type", "array"}, {"items", string}};
    case Type::Pairs:
      return json{{"type", "array"},
                  {"items", json{{"type", "array"},
                                 {"prefixItems", json::array({string, string})},
                                 {"items", false},
                                 {"minItems", 2}}}};
    case Type::Object:
      return Ref(*key.shape);
    case Type::List:
      return json{{"type", "array"}, {"items", Ref(*key.shape)}};
    case Type::TextGroups:
      return json{
          {"type", "object"},
          {"additionalProperties", json{{"type", "object"}, {"additionalProperties", string}}}};
    case Type::Integers:
      return json{{"type", "object"}, {"additionalProperties", int64}};
  }
  return json();
}

json ValueSchema(Key const& key) { return Required(key.type) ? Schema(key) : OrNull(Schema(key)); }

// The object schema of `shape`, with only the keys that annotations of `kind` have.
json ObjectSchema(Shape const& shape, Kinds kind = 0) {
  json properties = json::object(), required = json::array();
  for (Key const* key = shape.keys; key != shape.keys + shape.count; ++key) {
    if (kind && key->onlyFor && !(key->onlyFor & kind)) continue;
    properties[std::string(key->name)] = ValueSchema(*key);
    if (Required(key->type)) required.push_back(key->name);
  }
  json schema{{"type", "object"}, {"properties", properties}, {"additionalProperties", false}};
  if (!required.empty()) schema["required"] = required;
  return schema;
}

void AddDefinitions(json& defs, Shape const& shape) {
  if (defs.contains(std::string(shape.name))) return;
  if (&shape == &format::kAnnotation) {
    json kinds = json::array();
    for (auto const& [word, kind] : format::kAnnotationKinds) {
      json variant = ObjectSchema(shape, Of(kind));
      variant["properties"]["kind"] = json{{"const", word}};
      kinds.push_back(variant);
    }
    defs[std::string(shape.name)] = json{{"oneOf", kinds}};
  } else {
    defs[std::string(shape.name)] = ObjectSchema(shape);
  }
  for (Key const* key = shape.keys; key != shape.keys + shape.count; ++key)
    if (key->shape) AddDefinitions(defs, *key->shape);
}

}  // namespace

void WriteSchema(std::ostream& out) {
  json defs = json::object();
  AddDefinitions(defs, format::kTop);
  json schema = ObjectSchema(format::kTop);
  schema.update(json{{"$schema", "https://json-schema.org/draft/2020-12/schema"},
                     {"title", "illanimation illustration"},
                     {"$defs", defs}});
  out << schema.dump(1) << '\n';
}

}  // namespace illhost
