#include "json_document.h"

#include "project_file.h"

#include <utility>
#include <vector>

namespace TavexCli {

namespace {

using nlohmann::json;

// Builds the document from the parser's events (the library's SAX interface),
// keeping the place of every value as it goes.
class DocumentBuilder {
public:
    bool null() { return Value(nullptr) != nullptr; }
    bool boolean(bool value) { return Value(value) != nullptr; }
    bool number_integer(json::number_integer_t value) { return Value(value) != nullptr; }
    bool number_unsigned(json::number_unsigned_t value) { return Value(value) != nullptr; }
    bool number_float(json::number_float_t value, const std::string&) {
        return Value(value) != nullptr;
    }
    bool string(std::string& value) { return Value(std::move(value)) != nullptr; }
    bool binary(json::binary_t&) { return Fail(NextPlace(), "binary values are not JSON text"); }
    bool start_object(std::size_t) { return Open(json::object()); }
    bool start_array(std::size_t) { return Open(json::array()); }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }
    bool key(std::string& name) {
        Frame& frame = open_.back();
        if (frame.container->contains(name))
            return Fail(Child(frame.place, name), "the field \"" + name + "\" is given twice");
        frame.key = std::move(name);
        return true;
    }
    bool parse_error(std::size_t, const std::string& token,
                     const nlohmann::detail::exception& error) {
        // 406: a number the lexer read as infinite.
        if (error.id == 406)
            return Fail(NextPlace(), "the number " + token +
                                         " lies beyond the range of numbers (about ±1.8e308)");
        // The library's text names the line and column.
        const std::string what = error.what();
        const auto at = what.find("parse error");
        mistake_ = {false, "", at == std::string::npos ? what : what.substr(at)};
        return false;
    }

    // What stopped the parser: a value at a place in the document, or a
    // syntax error of the text.
    struct Mistake {
        bool atPlace = false;
        std::string place, what;
    };
    const Mistake& mistake() const { return mistake_; }
    json Take() { return std::move(root_); }

private:
    struct Frame {
        json* container;
        std::string place;
        std::string key; // the key whose value comes next (objects)
    };

    static std::string Child(const std::string& place, const std::string& key) {
        return place.empty() ? key : place + "." + key;
    }
    // The place of the value the parser reads next.
    std::string NextPlace() const {
        if (open_.empty())
            return "";
        const Frame& frame = open_.back();
        if (frame.container->is_array())
            return frame.place + "[" + std::to_string(frame.container->size()) + "]";
        return Child(frame.place, frame.key);
    }
    bool Fail(const std::string& place, const std::string& what) {
        mistake_ = {true, place, what};
        return false;
    }
    // Stores a value where the parser is and returns it.
    json* Value(json value) {
        if (open_.empty()) {
            root_ = std::move(value);
            return &root_;
        }
        Frame& frame = open_.back();
        if (frame.container->is_array()) {
            frame.container->push_back(std::move(value));
            return &frame.container->back();
        }
        json& slot = (*frame.container)[frame.key];
        slot = std::move(value);
        return &slot;
    }
    bool Open(json container) {
        const std::string place = NextPlace();
        json* stored = Value(std::move(container));
        // The parent does not grow while this container is open, so the
        // pointer stays valid until Close.
        open_.push_back({stored, place, {}});
        return true;
    }
    bool Close() {
        open_.pop_back();
        return true;
    }

    json root_;
    std::vector<Frame> open_;
    Mistake mistake_{false, "", "not a JSON document"};
};

} // namespace

json ReadJsonDocument(const std::string& text, const std::string& fileName) {
    DocumentBuilder builder;
    if (json::sax_parse(text, &builder))
        return builder.Take();
    const auto& mistake = builder.mistake();
    throw ProjectError(mistake.atPlace ? mistake.place : fileName, mistake.what);
}

} // namespace TavexCli
