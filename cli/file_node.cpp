#include "file_node.h"

#include "project_file.h"

#include <cmath>

namespace TavexCli {

namespace {
using Unsigned = nlohmann::json::number_unsigned_t;
} // namespace

Node Node::At(const char* key) const {
    if (!Has(key))
        Fail(std::string("missing field \"") + key + "\"");
    return Node(value_.at(key), Child(key));
}

std::vector<Node> Node::Items() const {
    if (!value_.is_array())
        Fail("expected a list");
    std::vector<Node> items;
    for (std::size_t k = 0; k < value_.size(); ++k)
        items.emplace_back(value_[k], where_ + "[" + std::to_string(k) + "]");
    return items;
}

double Node::Number() const {
    if (!value_.is_number())
        Fail("expected a number");
    const double x = value_.get<double>();
    if (!std::isfinite(x))
        Fail("expected a finite number");
    return x;
}

double Node::Number(const char* key, double fallback) const {
    return Has(key) ? At(key).Number() : fallback;
}

double Node::NonNegative(const char* key, double fallback) const {
    const double x = Number(key, fallback);
    if (x < 0)
        At(key).Fail("must not be negative");
    return x;
}

double Node::Positive(const char* key) const {
    const double x = At(key).Number();
    if (!(x > 0))
        At(key).Fail("must be positive");
    return x;
}

long long Node::Whole(long long low, long long high) const {
    const std::string range =
        "a whole number from " + std::to_string(low) + " to " + std::to_string(high);
    if (!value_.is_number_integer())
        Fail("expected " + range);
    // Unsigned numbers beyond the signed range are out of every range here.
    if (value_.is_number_unsigned() && value_.get<Unsigned>() > static_cast<Unsigned>(high))
        Fail("must be " + range);
    const auto v = value_.get<long long>();
    if (v < low || v > high)
        Fail("must be " + range);
    return v;
}

int Node::Integer(const char* key, int fallback, int low, int high) const {
    if (!Has(key))
        return fallback;
    return static_cast<int>(At(key).Whole(low, high));
}

bool Node::Boolean(const char* key, bool fallback) const {
    if (!Has(key))
        return fallback;
    const Node n = At(key);
    if (!n.value_.is_boolean())
        n.Fail("expected true or false");
    return n.value_.get<bool>();
}

std::string Node::Text() const {
    if (!value_.is_string())
        Fail("expected text");
    return value_.get<std::string>();
}

std::string Node::Text(const char* key, const std::string& fallback) const {
    return Has(key) ? At(key).Text() : fallback;
}

int Node::Choice(const char* key, const std::vector<std::string>& words, int fallback) const {
    if (!Has(key))
        return fallback;
    const Node n = At(key);
    const std::string word = n.Text();
    for (std::size_t k = 0; k < words.size(); ++k)
        if (words[k] == word)
            return static_cast<int>(k);
    std::string list;
    for (const auto& w : words)
        list += (list.empty() ? "\"" : ", \"") + w + "\"";
    n.Fail("unknown value \"" + word + "\" (expected " + list + ")");
}

void Node::Allow(const std::set<std::string>& keys, const std::string& owner) const {
    if (!value_.is_object())
        Fail("expected an object");
    for (const auto& item : value_.items())
        if (!keys.count(item.key()))
            Node(item.value(), Child(item.key().c_str()))
                .Fail(owner.empty() ? "unknown field" : "not a field of " + owner);
}

void Node::Fail(const std::string& what) const {
    throw ProjectError(where_, what);
}

} // namespace TavexCli
