// The project-file documentation, the JSON Schema and the reader say the
// same: every field of the schema is explained in docs/project-file.md, and
// the reader accepts exactly the fields the schema lists at each place
// (every observation type with its own list).
#include "project_file.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace {

using nlohmann::json;
using TavexCli::ParseProject;
using TavexCli::ProjectError;

std::string ReadText(const std::string& name) {
    std::ifstream in(std::string(TAVEX_DOCS_DIR) + "/" + name);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const json& Schema() {
    static const json schema = json::parse(ReadText("project.schema.json"));
    return schema;
}

// Every property name and every enumerated word anywhere in the schema.
void Collect(const json& node, std::set<std::string>& names, std::set<std::string>& words) {
    if (node.is_object()) {
        if (node.contains("properties"))
            for (const auto& item : node["properties"].items())
                names.insert(item.key());
        if (node.contains("enum"))
            for (const json& word : node["enum"])
                if (word.is_string())
                    words.insert(word.get<std::string>());
        if (node.contains("const") && node["const"].is_string())
            words.insert(node["const"].get<std::string>());
        for (const auto& item : node.items())
            Collect(item.value(), names, words);
    } else if (node.is_array()) {
        for (const json& element : node)
            Collect(element, names, words);
    }
}

TEST(CliDocumentation, EverySchemaFieldAndWordIsExplained) {
    const std::string page = ReadText("project-file.md");
    ASSERT_FALSE(page.empty());
    std::set<std::string> names, words;
    Collect(Schema(), names, words);
    ASSERT_GT(names.size(), 80u);
    for (const std::string& name : names)
        EXPECT_NE(page.find("`" + name + "`"), std::string::npos) << "field " << name;
    for (const std::string& word : words)
        EXPECT_NE(page.find("`" + word + "`"), std::string::npos) << "word " << word;
}

// The message of reading the project, or "" when it is accepted.
std::string Refusal(const json& project) {
    try {
        ParseProject(project.dump(), "memory");
    } catch (const ProjectError& error) {
        return error.what();
    }
    return "";
}

// Whether the reader refuses the field at the place as a field it does not
// know there (any other complaint is about its value or its neighbours).
bool RefusedAsField(const json& project, const std::string& place) {
    const std::string message = Refusal(project);
    return message.rfind(place + ": unknown field", 0) == 0 ||
           message.rfind(place + ": not a field of", 0) == 0;
}

// A 3D project on two geographic stations with one observation; each
// observation type in its smallest form.
json WithObservation(const json& observation) {
    return {{"dimension", 3},
            {"angle_unit", "deg"},
            {"stations",
             {{{"name", "A"}, {"latitude", 52}, {"longitude", 5}},
              {{"name", "B"}, {"latitude", 52.001}, {"longitude", 5.001}}}},
            {"observations", {observation}}};
}

const json kSmallest = {
    {"direction", {{"from", "A"}, {"to", "B"}, {"value", 1}}},
    {"distance", {{"from", "A"}, {"to", "B"}, {"value", 100}}},
    {"zenith", {{"from", "A"}, {"to", "B"}, {"value", 90}}},
    {"azimuth", {{"from", "A"}, {"to", "B"}, {"value", 1}}},
    {"height_difference", {{"from", "A"}, {"to", "B"}, {"value", 1}}},
    {"total_station", {{"from", "A"}, {"to", "B"}, {"distance", 100}}},
    {"double_distance", {{"from", "A"}, {"to", "B"}, {"value", 100}}},
    {"tape_distance", {{"from", "A"}, {"to", "B"}, {"value", 100}}},
    {"gps_baseline",
     {{"from", "A"}, {"to", "B"}, {"dx", 1}, {"dy", 2}, {"dz", 3}, {"sd", {0.01, 0.01, 0.01}}}},
    {"gps_coordinate",
     {{"station", "A"}, {"x", 1}, {"y", 2}, {"z", 3}, {"sd", {0.01, 0.01, 0.01}}}},
    {"local_coordinates", {{"station", "A"}, {"east", 1}, {"sd_east", 0.01}}},
};

TEST(CliDocumentation, EachObservationTypeTakesTheFieldsItsSchemaLists) {
    const json& defs = Schema()["$defs"];
    std::set<std::string> every;
    for (const auto& type : kSmallest.items())
        for (const auto& field : defs[type.key()]["properties"].items())
            every.insert(field.key());
    ASSERT_EQ(defs["observation"]["oneOf"].size(), kSmallest.size());
    for (const auto& type : kSmallest.items()) {
        json base = type.value();
        base["type"] = type.key();
        ASSERT_EQ(Refusal(WithObservation(base)), "") << type.key();
        const json& listed = defs[type.key()]["properties"];
        for (const std::string& field : every) {
            if (base.contains(field))
                continue;
            json observation = base;
            observation[field] = 0;
            EXPECT_EQ(RefusedAsField(WithObservation(observation), "observations[0]." + field),
                      !listed.contains(field))
                << type.key() << "." << field << ": " << Refusal(WithObservation(observation));
        }
    }
}

TEST(CliDocumentation, EveryOtherPlaceTakesTheFieldsItsSchemaLists) {
    const json& schema = Schema();
    const json& defs = schema["$defs"];
    const json project = {{"dimension", 2},
                          {"stations", {{{"name", "A"}, {"east", 0}, {"north", 0}}}}};
    // A place, the schema of the object there, and how to put a field in.
    const struct {
        std::string place;
        json schemaObject;
        json::json_pointer pointer;
    } places[] = {
        {"", schema, json::json_pointer("")},
        {"settings", schema["properties"]["settings"], json::json_pointer("/settings")},
        {"settings.report", schema["properties"]["settings"]["properties"]["report"],
         json::json_pointer("/settings/report")},
        {"length_unit", schema["properties"]["length_unit"], json::json_pointer("/length_unit")},
        {"parameters", schema["properties"]["parameters"], json::json_pointer("/parameters")},
        {"stations[0]", defs["station"], json::json_pointer("/stations/0")},
    };
    for (const auto& p : places) {
        for (const auto& field : p.schemaObject["properties"].items()) {
            json changed = project;
            if (!changed.contains(p.pointer))
                changed[p.pointer] = json::object();
            if (changed[p.pointer].contains(field.key()))
                continue;
            changed[p.pointer][field.key()] = 0;
            const std::string place = p.place.empty() ? field.key() : p.place + "." + field.key();
            EXPECT_FALSE(RefusedAsField(changed, place)) << place << ": " << Refusal(changed);
        }
        json unknown = project;
        unknown[p.pointer]["no_such_field"] = 0;
        const std::string place = p.place.empty() ? "no_such_field" : p.place + ".no_such_field";
        EXPECT_TRUE(RefusedAsField(unknown, place)) << place << ": " << Refusal(unknown);
    }
}

} // namespace
