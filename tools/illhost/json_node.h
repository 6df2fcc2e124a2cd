// A place in a JSON document together with its path, with checked access to what the
// illustration format allows there. Every failure is a ReadError naming the path. The path is
// spelt only when a failure needs it: a node keeps the node it was reached from, so a node must
// not outlive the nodes on its way from the root.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include <nlohmann/json.hpp>

namespace illhost {

class Node {
 public:
  // The root of a document, called "$" in messages.
  Node(nlohmann::json const& value, std::string const& file) : value_(value), file_(file) {}

  nlohmann::json const& value() const { return value_; }
  std::string Path() const;
  [[noreturn]] void Fail(std::string const& what) const;

  // An object whose keys are all among `known`.
  Node const& Object(std::initializer_list<char const*> known) const;
  bool Has(char const* key) const { return value_.contains(key); }
  bool IsNull() const { return value_.is_null(); }
  Node operator[](char const* key) const;
  Node operator[](std::size_t index) const;
  std::size_t ListSize() const;  // checks that it is a list

  std::string Text(char const* key, std::string fallback = {}) const;
  std::string RequiredText(char const* key) const;
  bool Flag(char const* key, bool fallback = false) const;
  int Integer(char const* key, int fallback = 0) const;
  std::int64_t Int64() const;
  std::string AsText() const;

 private:
  Node(nlohmann::json const& value, Node const& parent, char const* key, std::size_t index)
      : value_(value), file_(parent.file_), parent_(&parent), key_(key), index_(index) {}

  nlohmann::json const& value_;
  std::string const& file_;
  Node const* parent_ = nullptr;  // null for the root
  char const* key_ = nullptr;     // the key under the parent, or null for a list index
  std::size_t index_ = 0;
};

}  // namespace illhost
