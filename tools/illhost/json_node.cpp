#include "json_node.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "illustration_reader.h"
#include "quoting.h"

namespace illhost {

std::string Node::Path() const {
  if (!parent_) return "$";
  return parent_->Path() + (key_ ? std::string(".") + key_ : "[" + std::to_string(index_) + "]");
}

void Node::Fail(std::string const& what) const {
  throw ReadError(file_ + ": " + Path() + ": " + what);
}

Node const& Node::Object(std::initializer_list<char const*> known) const {
  if (!value_.is_object()) Fail("expected an object");
  for (auto const& item : value_.items()) {
    bool const ok =
        std::any_of(known.begin(), known.end(), [&](char const* k) { return item.key() == k; });
    if (!ok) Fail("unknown key " + QuoteInput(item.key()));
  }
  return *this;
}

Node Node::operator[](char const* key) const {
  static nlohmann::json const null;
  auto const found = value_.find(key);
  return Node(found == value_.end() ? null : *found, *this, key, 0);
}

Node Node::operator[](std::size_t index) const {
  return Node(value_.at(index), *this, nullptr, index);
}

std::size_t Node::ListSize() const {
  if (value_.is_null()) return 0;
  if (!value_.is_array()) Fail("expected a list");
  return value_.size();
}

std::string Node::AsText() const {
  if (!value_.is_string()) Fail("expected a string");
  return value_.get<std::string>();
}

std::string Node::Text(char const* key, std::string fallback) const {
  Node const n = (*this)[key];
  return n.IsNull() ? std::move(fallback) : n.AsText();
}

std::string Node::RequiredText(char const* key) const {
  if (!Has(key)) (*this)[key].Fail("missing");
  return (*this)[key].AsText();
}

bool Node::Flag(char const* key, bool fallback) const {
  Node const n = (*this)[key];
  if (n.IsNull()) return fallback;
  if (!n.value_.is_boolean()) n.Fail("expected true or false");
  return n.value_.get<bool>();
}

int Node::Integer(char const* key, int fallback) const {
  Node const n = (*this)[key];
  if (n.IsNull()) return fallback;
  std::int64_t const v = n.Int64();
  if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
    n.Fail("integer out of range");
  return static_cast<int>(v);
}

std::int64_t Node::Int64() const {
  if (value_.is_number_unsigned() &&
      value_.get<std::uint64_t>() >
          static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
    Fail("integer out of range");
  if (!value_.is_number_integer()) Fail("expected an integer");
  return value_.get<std::int64_t>();
}

}  // namespace illhost
