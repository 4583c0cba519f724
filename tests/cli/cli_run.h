// Running the tavex command the way a user does, for the host's tests: the
// command with its arguments, its exit status and everything it printed,
// and project files written into a directory of the test's own.
#ifndef TAVEX_TESTS_CLI_CLI_RUN_H
#define TAVEX_TESTS_CLI_CLI_RUN_H

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>

namespace TavexCliTest {

struct Outcome {
    int status = -1; // exit status; -1 when the command did not exit (a crash)
    std::string out; // standard output and standard error together
};

// Runs tavex with the arguments.
Outcome Tavex(const std::string& arguments);
// Runs a shell command line (standard error joined to standard output).
Outcome Shell(const std::string& command);

// The path of a bundled example project.
std::string Example(const std::string& name);
nlohmann::json ReadJson(const std::string& path);

// Writes a project file with the text into a fresh directory that belongs to
// the running test (and label, for tests with several files).
std::filesystem::path Project(const std::string& text, const std::string& label = "");

// Expects `tavex adjust` to refuse the project text: exit status 2, the
// expected text (a place in the file and what is wrong) in what it printed,
// and nothing written next to the project.
void ExpectRefused(const std::string& text, const std::string& expected,
                   const std::string& label = "");

// `tavex adjust --output none --json` on a file; expects success.
nlohmann::json AdjustJson(const std::string& path);

// The station of that name in --json results (fails the test when missing).
const nlohmann::json& Station(const nlohmann::json& results, const std::string& name);
// The readings of the observation at this place in the file.
nlohmann::json Readings(const nlohmann::json& results, const std::string& where);

} // namespace TavexCliTest

#endif
