// A value of the project document together with its place in the file
// ("observations[3].to"), with the typed reads the project reader needs.
// Every read that cannot be used raises a ProjectError naming the place.
#ifndef TAVEX_CLI_FILE_NODE_H
#define TAVEX_CLI_FILE_NODE_H

#include <nlohmann/json.hpp>

#include <set>
#include <string>
#include <vector>

namespace TavexCli {

class Node {
public:
    Node(const nlohmann::json& value, std::string where)
        : value_(value), where_(std::move(where)) {}

    const std::string& Where() const { return where_; }
    bool Has(const char* key) const { return value_.is_object() && value_.contains(key); }
    // The field key; missing is a mistake.
    Node At(const char* key) const;
    // The elements of a list.
    std::vector<Node> Items() const;

    // A finite number.
    double Number() const;
    double Number(const char* key, double fallback) const;
    // A number that is not negative, or one that is positive.
    double NonNegative(const char* key, double fallback) const;
    double Positive(const char* key) const;
    // A whole number within [low, high].
    long long Whole(long long low, long long high) const;
    int Integer(const char* key, int fallback, int low, int high) const;
    bool Boolean(const char* key, bool fallback) const;
    std::string Text() const;
    std::string Text(const char* key, const std::string& fallback) const;
    // The position of the field's text among the words, or fallback when it
    // is missing.
    int Choice(const char* key, const std::vector<std::string>& words, int fallback) const;

    bool IsString() const { return value_.is_string(); }
    bool IsObject() const { return value_.is_object(); }
    // Fields this object may have; anything else is a mistake worth naming
    // (owner, such as "a height_difference", says whose field it is not).
    void Allow(const std::set<std::string>& keys, const std::string& owner = "") const;
    [[noreturn]] void Fail(const std::string& what) const;

private:
    std::string Child(const char* key) const { return where_.empty() ? key : where_ + "." + key; }

    const nlohmann::json& value_;
    std::string where_;
};

} // namespace TavexCli

#endif
