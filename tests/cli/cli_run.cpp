#include "cli_run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace TavexCliTest {

using nlohmann::json;

Outcome Tavex(const std::string& arguments) {
    return Shell(std::string(TAVEX_CLI_PATH) + " " + arguments);
}

Outcome Shell(const std::string& commandLine) {
    const std::string command = commandLine + " 2>&1";
    Outcome o;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return o;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        o.out.append(buffer, n);
    const int status = pclose(pipe);
    o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return o;
}

std::string Example(const std::string& name) {
    return std::string(TAVEX_EXAMPLES_DIR) + "/" + name + ".json";
}

json ReadJson(const std::string& path) {
    std::ifstream in(path);
    return json::parse(in);
}

std::filesystem::path Project(const std::string& text, const std::string& label) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string("tavex-cli-") + test->test_suite_name() + "-" +
                             test->name() + (label.empty() ? "" : "-" + label) + "-" +
                             std::to_string(getpid());
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "project.json") << text;
    return dir / "project.json";
}

void ExpectRefused(const std::string& text, const std::string& expected, const std::string& label) {
    const std::filesystem::path file = Project(text, label);
    const Outcome o = Tavex("adjust " + file.string());
    EXPECT_EQ(o.status, 2) << label << ": " << o.out;
    EXPECT_NE(o.out.find(expected), std::string::npos)
        << label << ": expected \"" << expected << "\" in: " << o.out;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(file.parent_path()),
                            std::filesystem::directory_iterator()),
              1)
        << label << ": nothing but the project is in its directory";
}

json AdjustJson(const std::string& path) {
    const Outcome o = Tavex("adjust --output none --json " + path);
    EXPECT_EQ(o.status, 0) << o.out;
    const json parsed = json::parse(o.out, nullptr, false);
    EXPECT_FALSE(parsed.is_discarded()) << o.out;
    return parsed;
}

const json& Station(const json& results, const std::string& name) {
    for (const json& s : results["stations"])
        if (s["name"] == name)
            return s;
    static const json none;
    ADD_FAILURE() << "no station " << name;
    return none;
}

json Readings(const json& results, const std::string& where) {
    json found = json::array();
    for (const json& r : results["observations"])
        if (r["where"] == where)
            found.push_back(r);
    return found;
}

} // namespace TavexCliTest
