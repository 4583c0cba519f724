#include "stylesheets.h"

#include <array>
#include <cstdlib>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace TavexCli {

namespace {

// The names the kernel's documents give in their xml-stylesheet instruction.
constexpr std::array<const char*, 4> kReportStylesheets = {"TAVEXV33.xsl", "VELNIKV33.xsl",
                                                           "DORAMV33.xsl", "RINDELV33.xsl"};

bool HoldsStylesheets(const std::filesystem::path& directory) {
    std::error_code error;
    return !directory.empty() &&
           std::filesystem::is_regular_file(directory / kReportStylesheets[0], error) &&
           std::filesystem::is_regular_file(directory / kCommonStylesheet, error);
}

std::filesystem::path BesideExecutable() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    return self.parent_path().parent_path() / "share" / "tavex" / "xsl";
}

} // namespace

std::filesystem::path StylesheetDirectory() {
    std::string looked;
    std::vector<std::filesystem::path> places;
    if (const char* given = std::getenv("TAVEX_XSL_DIR"); given != nullptr && *given != '\0') {
        // An explicit choice is the only place looked at: a wrong one is said.
        if (HoldsStylesheets(given))
            return given;
        throw std::runtime_error(std::string("TAVEX_XSL_DIR=") + given +
                                 " does not hold the report stylesheets");
    }
    places.push_back(BesideExecutable());
    places.emplace_back(TAVEX_INSTALLED_XSL_DIR);
    places.emplace_back(TAVEX_SOURCE_XSL_DIR);
    for (const std::filesystem::path& place : places) {
        if (HoldsStylesheets(place))
            return place;
        if (!place.empty())
            looked += (looked.empty() ? "" : ", ") + place.string();
    }
    throw std::runtime_error("the report stylesheets are in none of " + looked +
                             " (set TAVEX_XSL_DIR)");
}

bool IsReportStylesheet(const std::string& name) {
    for (const char* known : kReportStylesheets)
        if (name == known)
            return true;
    return false;
}

void CopyStylesheetTo(const std::string& name, const std::filesystem::path& directory) {
    const std::filesystem::path from = StylesheetDirectory();
    for (const std::string& file : {name, std::string(kCommonStylesheet)}) {
        std::error_code error;
        if (std::filesystem::equivalent(from / file, directory / file, error))
            continue; // the document sits among the stylesheets themselves
        std::filesystem::copy_file(from / file, directory / file,
                                   std::filesystem::copy_options::overwrite_existing, error);
        if (error)
            throw std::runtime_error("cannot copy the stylesheet " + file + " to " +
                                     directory.string() + ": " + error.message());
    }
}

} // namespace TavexCli
