// tavex: the command-line host of the Tavex kernel.
//
//   tavex adjust PROJECT      adjust the network of a project file
//   tavex design PROJECT      the same as a design (precision and reliability)
//   tavex prerun PROJECT      check the input before an adjustment
//   tavex cogo PROJECT        compute approximate coordinates (--write OUT
//                             saves the project with them)
//   tavex loops PROJECT       find loops and their misclosures
//   tavex multiplier P DIM    the confidence multiplier of probability P
//   tavex render DOC.xml      an HTML report of a result document (-o FILE)
//
// Exit status: 0 success, 1 a run that failed (the kernel's messages say
// why; also the host's own failure, which it names), 2 a command or project
// file that cannot be used (nothing written, the place in the file named).
#include "cogo_results.h"
#include "geojson_report.h"
#include "html_report.h"
#include "json_results.h"
#include "loop_results.h"
#include "prerun_printer.h"
#include "progress_bar.h"
#include "project_file.h"
#include "record_layout.h"
#include "result_document.h"
#include "run_results.h"
#include "stylesheets.h"
#include "summary_printer.h"
#include "text_file.h"

#include <tavex/tavex.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

using namespace TavexCli;

constexpr int kExitFailedRun = 1;
constexpr int kExitBadInput = 2;

struct Options {
    std::string command;
    std::vector<std::string> arguments;
    std::string outputDirectory;
    std::vector<int> forms = {1}; // text report
    bool json = false;
    std::string writePath;   // cogo: the copy of the project with the coordinates
    bool html = false;       // an HTML report of the run's result document
    std::string htmlPath;    // its file; empty for the document's name with .html
    std::string geojsonPath; // adjust, design, cogo: the stations and lines as GeoJSON
    std::string renderPath;  // render: the HTML file (-o)
};

void Usage(std::FILE* out) {
    std::fputs("usage: tavex COMMAND [options] PROJECT\n"
               "       tavex multiplier P DIM\n"
               "       tavex render DOCUMENT.xml [-o FILE.html]\n"
               "commands: adjust, design, prerun, cogo, loops, multiplier, render\n"
               "options:\n"
               "  --output-dir DIR   write the kernel's files into DIR (default: the project's)\n"
               "  --output FORM      text (default), xml, both or none\n"
               "  --json             print the results as JSON on standard output\n"
               "  --write FILE       cogo: save a copy of the project with the computed\n"
               "                     approximate coordinates\n"
               "  --html [FILE.html] also write an HTML report of the result document\n"
               "                     (default: the document's name with .html; a FILE\n"
               "                     must end in .html or .htm, or use --html=FILE)\n"
               "  --geojson FILE     adjust, design, cogo: the stations (and the observed\n"
               "                     lines) as GeoJSON in WGS 84 longitude and latitude\n"
               "  -o FILE            render: the HTML file (default: DOCUMENT.html)\n"
               "  --help             this text\n",
               out);
}

// Whether an argument after --html is its file rather than the project.
bool IsHtmlFileName(const std::string& a) {
    const std::string extension = std::filesystem::path(a).extension().string();
    return extension == ".html" || extension == ".htm";
}

[[noreturn]] void BadUsage(const std::string& why) {
    std::fprintf(stderr, "tavex: %s\n", why.c_str());
    Usage(stderr);
    std::exit(kExitBadInput);
}

// The value of the option at argv[k], which moves k on to it.
const char* OptionValue(int argc, char** argv, int& k, const char* missing) {
    if (++k >= argc)
        BadUsage(missing);
    return argv[k];
}

Options ParseArguments(int argc, char** argv) {
    Options o;
    for (int k = 1; k < argc; ++k) {
        const std::string a = argv[k];
        if (a == "--help" || a == "-h") {
            Usage(stdout);
            std::exit(0);
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--write") {
            o.writePath = OptionValue(argc, argv, k, "--write needs a file");
        } else if (a == "--html" || a.rfind("--html=", 0) == 0) {
            o.html = true;
            if (a.size() > 7)
                o.htmlPath = a.substr(7);
            else if (k + 1 < argc && IsHtmlFileName(argv[k + 1]))
                o.htmlPath = argv[++k];
        } else if (a == "--geojson") {
            o.geojsonPath = OptionValue(argc, argv, k, "--geojson needs a file");
        } else if (a == "-o") {
            o.renderPath = OptionValue(argc, argv, k, "-o needs a file");
        } else if (a == "--output-dir") {
            o.outputDirectory = OptionValue(argc, argv, k, "--output-dir needs a directory");
        } else if (a == "--output") {
            const std::string form =
                OptionValue(argc, argv, k, "--output needs text, xml, both or none");
            if (form == "text")
                o.forms = {1};
            else if (form == "xml")
                o.forms = {2};
            else if (form == "both")
                o.forms = {1, 2};
            else if (form == "none")
                o.forms = {0};
            else
                BadUsage("unknown output form \"" + form + "\"");
        } else if (!a.empty() && a[0] == '-' && a != "-" &&
                   !std::isdigit(static_cast<unsigned char>(a[1]))) {
            BadUsage("unknown option " + a);
        } else if (o.command.empty()) {
            o.command = a;
        } else {
            o.arguments.push_back(a);
        }
    }
    if (o.command.empty())
        BadUsage("no command");
    if (!o.writePath.empty() && o.command != "cogo")
        BadUsage("--write goes with cogo");
    if (!o.geojsonPath.empty() && o.command != "adjust" && o.command != "design" &&
        o.command != "cogo")
        BadUsage("--geojson goes with adjust, design or cogo");
    if (!o.renderPath.empty() && o.command != "render")
        BadUsage("-o goes with render");
    if (o.html && (o.command == "render" || o.command == "multiplier"))
        BadUsage("--html goes with adjust, design, prerun, cogo or loops");
    return o;
}

int Multiplier(const Options& o) {
    if (o.arguments.size() != 2)
        BadUsage("multiplier needs a probability and a dimension");
    char* end = nullptr;
    const double p = std::strtod(o.arguments[0].c_str(), &end);
    if (*end != '\0' || !(p > 0 && p < 1))
        BadUsage("the probability must be a number between 0 and 1");
    const long dim = std::strtol(o.arguments[1].c_str(), &end, 10);
    if (*end != '\0' || dim < 1 || dim > 1000)
        BadUsage("the dimension must be a whole number from 1 to 1000");
    const double m = Tavex::MultiplierConfidence(p, static_cast<unsigned>(dim));
    if (o.json)
        std::printf("{\"probability\": %.17g, \"dimension\": %ld, \"multiplier\": %.17g}\n", p, dim,
                    m);
    else
        std::printf("%.6f\n", m);
    return 0;
}

// A file stem the kernel's 12-character file names can hold.
std::string Stem(const std::string& projectPath) {
    std::string stem;
    for (char c : std::filesystem::path(projectPath).stem().string())
        if (std::isalnum(static_cast<unsigned char>(c)) && stem.size() < 8)
            stem += c;
    return stem.empty() ? "tavex" : stem;
}

// The directory the kernel writes into: the option's, else the project's.
std::string OutputDirectory(const Options& o, const Project& project) {
    std::string directory = o.outputDirectory;
    if (directory.empty()) {
        directory = std::filesystem::path(project.path).parent_path().string();
        if (directory.empty())
            directory = ".";
    }
    if (directory.size() > 250)
        BadUsage("the output directory path is too long");
    return directory;
}

// The extension of the result document a command's findings are read from
// (nothing for the commands that hand theirs back in the records).
const char* FindingsExtension(const std::string& command) {
    if (command == "prerun")
        return ".vnk.xml";
    if (command == "cogo")
        return ".drm.xml";
    if (command == "loops")
        return ".rnd.xml";
    return nullptr;
}

// The extension of the run's result document.
std::string DocumentExtension(const std::string& command) {
    const char* findings = FindingsExtension(command);
    return findings != nullptr ? findings : ResultDocumentName("");
}

// Whether the run must write its result document: its findings are read from
// it, or the HTML report or the GeoJSON are made from it.
bool NeedsDocument(const Options& o) {
    return FindingsExtension(o.command) != nullptr || o.html || !o.geojsonPath.empty();
}

// The output forms to run. A run whose result document is needed always
// writes one, last.
std::vector<int> FormsToRun(const Options& o) {
    if (!NeedsDocument(o))
        return o.forms;
    std::vector<int> forms;
    for (int form : o.forms)
        if (form == 1)
            forms.push_back(form);
    forms.push_back(2);
    return forms;
}

bool AskedFor(const Options& o, int form) {
    return std::find(o.forms.begin(), o.forms.end(), form) != o.forms.end();
}

// Runs one command on the project with one output form.
RunResults Run(const Options& o, const Project& project, int form, Tavex::HWND window) {
    Records records = LayOut(project, OutputDirectory(o, project), Stem(project.path), form);
    Tavex::Initialize(*records.settings);
    Tavex::SetStations(records.stations.data(), static_cast<unsigned>(records.stations.size()));
    Tavex::SetObservations(records.observations.data(), records.ObservationCount());
    Tavex::_STATISTICS statistics{};
    int result = 0;
    if (o.command == "adjust" || o.command == "design") {
        result = Tavex::Adjust(statistics, window);
        return ReadResults(project, records, result, statistics);
    }
    if (o.command == "prerun")
        result = Tavex::PreRun(window);
    else if (o.command == "cogo")
        result = Tavex::COGO(window);
    else {
        std::vector<Tavex::_LOOP_RESULT> loops;
        result = Tavex::Loops(loops, window);
    }
    RunResults results;
    results.result = result;
    results.messages = ReadMessages(project, records);
    return results;
}

std::filesystem::path FindingsDocument(const Options& o, const Project& project) {
    return std::filesystem::path(OutputDirectory(o, project)) /
           (Stem(project.path) + DocumentExtension(o.command));
}

// The HTML report and the GeoJSON asked for, made from the run's document;
// the stylesheets are put next to a document the user asked for, so that a
// browser shows it. Returns what was written, as (what, path). Throws
// std::runtime_error when a report cannot be made.
std::vector<std::pair<std::string, std::string>>
WriteReports(const Options& o, const Project& project, const std::string& document) {
    std::vector<std::pair<std::string, std::string>> written;
    if (AskedFor(o, 2)) {
        try {
            CopyStylesheetTo(StylesheetFor(document),
                             std::filesystem::path(document).parent_path());
        } catch (const std::runtime_error& error) {
            // The document itself is written; only its display is missing.
            std::fprintf(stderr, "tavex: warning: %s\n", error.what());
        }
    }
    if (o.html) {
        std::string html = o.htmlPath;
        if (html.empty())
            html = (std::filesystem::path(OutputDirectory(o, project)) /
                    std::filesystem::path(HtmlNameFor(document)).filename())
                       .string();
        RenderHtml(document, html);
        written.emplace_back("html", html);
    }
    if (!o.geojsonPath.empty()) {
        WriteTextFile(o.geojsonPath,
                      o.command == "cogo" ? CogoGeoJson(document) : AdjustmentGeoJson(document));
        written.emplace_back("geojson", o.geojsonPath);
    }
    return written;
}

// Approximate coordinates for the stations an adjustment needs them for:
// COGO runs with its document in a directory of its own, and the stations
// that lacked coordinates take the computed ones. Returns 0, or the exit
// status after saying why the project cannot be adjusted.
int ComputeMissingCoordinates(const Options& o, Project& project, Tavex::HWND window,
                              std::vector<std::string>& computed) {
    const ScratchDirectory aside;
    Options cogo = o;
    cogo.command = "cogo";
    cogo.outputDirectory = aside.Path();
    const RunResults run = Run(cogo, project, 2, window);
    if (run.result == 0) {
        PrintMessages(stderr, run.messages);
        std::fprintf(stderr, "tavex: the approximate coordinates could not be computed\n");
        return kExitFailedRun;
    }
    const Project given = project;
    AdoptCoordinates(project, ReadCogoDocument(FindingsDocument(cogo, project).string(), project),
                     true);
    std::string missing;
    for (std::size_t k = 0; k < project.stations.size(); ++k) {
        if (LacksCoordinates(project, project.stations[k]))
            missing += (missing.empty() ? "" : ", ") + project.stations[k].name;
        else if (LacksCoordinates(given, given.stations[k]))
            computed.push_back(project.stations[k].name);
    }
    if (!missing.empty()) {
        std::fprintf(stderr,
                     "tavex: no approximate coordinates for %s: the observations do not reach "
                     "%s from the known stations; give them in the project file\n",
                     missing.c_str(), missing.find(',') == std::string::npos ? "it" : "them");
        return kExitFailedRun;
    }
    return 0;
}

int RunProject(const Options& o) {
    if (o.arguments.size() != 1)
        BadUsage(o.command + " needs one project file");
    Project project;
    try {
        project = ReadProjectFile(o.arguments[0]);
    } catch (const ProjectError& error) {
        std::fprintf(stderr, "tavex: %s%s\n",
                     std::string(error.what()).rfind(o.arguments[0], 0) == 0
                         ? ""
                         : (o.arguments[0] + ": ").c_str(),
                     error.what());
        return kExitBadInput;
    }
    if (o.command == "design")
        project.settings.design = true;
    // A new output directory is made, so that the kernel can write into it.
    if (!o.outputDirectory.empty()) {
        std::error_code error;
        std::filesystem::create_directories(o.outputDirectory, error);
        if (error) {
            std::fprintf(stderr, "tavex: cannot create the output directory %s: %s\n",
                         o.outputDirectory.c_str(), error.message().c_str());
            return kExitBadInput;
        }
    }

    TerminalProgress progress(stderr);
    Tavex::HWND window = nullptr;
    if (isatty(fileno(stderr)) && !o.json)
        window = Tavex::CreateHostWindow(Tavex::WindowRect{0, 0, 640, 80}, &progress);

    std::vector<std::string> computedFirst;
    if ((o.command == "adjust" || o.command == "design") && LacksCoordinates(project)) {
        if (const int status = ComputeMissingCoordinates(o, project, window, computedFirst)) {
            if (window != nullptr)
                Tavex::DestroyHostWindow(window);
            Tavex::Release();
            return status;
        }
    }

    // The findings the host reads from a result document that was not asked
    // for are written into a directory of their own, which goes with them.
    std::optional<ScratchDirectory> aside;
    Options findings = o;
    if (NeedsDocument(o) && !AskedFor(o, 2)) {
        aside.emplace();
        findings.outputDirectory = aside->Path();
    }
    RunResults results;
    for (int form : FormsToRun(o))
        results = Run(form == 2 ? findings : o, project, form, window);
    // Side shots and variance components come back in the result document
    // only: when none was asked for, an adjustment writes one aside.
    if (!results.documentRead && NeedsResultDocument(project, results)) {
        const ScratchDirectory aside;
        Options asideOptions = o;
        asideOptions.outputDirectory = aside.Path();
        results = Run(asideOptions, project, 2, window);
    }
    if (window != nullptr)
        Tavex::DestroyHostWindow(window);
    Tavex::Release();

    std::optional<PreRunResults> prerun;
    std::optional<CogoResults> cogo;
    std::optional<LoopResults> loops;
    if (FindingsExtension(o.command) != nullptr && results.result != 0) {
        const std::filesystem::path document = FindingsDocument(findings, project);
        try {
            if (o.command == "prerun")
                prerun = ReadPreRunDocument(document.string(), project);
            else if (o.command == "loops")
                loops = ReadLoopDocument(document.string(), project);
            else
                cogo = ReadCogoDocument(document.string(), project);
            if (cogo && !o.writePath.empty())
                WriteProjectWithCoordinates(project.path, o.writePath, project, *cogo);
        } catch (const std::runtime_error& error) {
            std::fprintf(stderr, "tavex: %s\n", error.what());
            return kExitFailedRun;
        }
    }
    std::vector<std::pair<std::string, std::string>> reports;
    if (results.result != 0 && (NeedsDocument(o) || AskedFor(o, 2))) {
        try {
            reports = WriteReports(o, project, FindingsDocument(findings, project).string());
        } catch (const std::runtime_error& error) {
            std::fprintf(stderr, "tavex: %s\n", error.what());
            return kExitFailedRun;
        }
    }

    if (o.json) {
        nlohmann::json root = nlohmann::json::parse(ResultsAsJson(project, results, o.command));
        if (prerun)
            root["prerun"] = nlohmann::json::parse(PreRunAsJson(*prerun));
        if (cogo)
            root["cogo"] = nlohmann::json::parse(CogoAsJson(project, *cogo));
        if (loops)
            root["loops"] = nlohmann::json::parse(LoopsAsJson(*loops));
        if (!computedFirst.empty())
            root["approximate_coordinates_computed"] = computedFirst;
        for (const auto& [what, path] : reports)
            root[what] = path;
        std::printf("%s\n", root.dump(2).c_str());
    } else {
        PrintMessages(stdout, results.messages);
        if (!computedFirst.empty()) {
            std::printf("\nApproximate coordinates computed first (COGO) for:");
            for (const std::string& name : computedFirst)
                std::printf(" %s", name.c_str());
            std::printf("\n");
        }
        if (prerun)
            PrintPreRun(stdout, project, *prerun);
        if (loops)
            PrintLoops(stdout, project, *loops);
        if (cogo) {
            PrintCogo(stdout, project, *cogo);
            if (!o.writePath.empty())
                std::printf("\nwritten: %s\n", o.writePath.c_str());
        }
        if (results.result != 0 && !results.stations.empty())
            PrintAdjustment(stdout, project, results);
        for (const auto& [what, path] : reports)
            std::printf("\n%s written: %s\n", what == "html" ? "HTML report" : "GeoJSON",
                        path.c_str());
        std::printf("\n%s: %s\n", o.command.c_str(), results.result ? "succeeded" : "failed");
    }
    return results.result ? 0 : kExitFailedRun;
}

// tavex render DOC.xml [-o FILE.html]: any result document as HTML.
int Render(const Options& o) {
    if (o.arguments.size() != 1)
        BadUsage("render needs one result document");
    const std::string& document = o.arguments[0];
    const std::string html = o.renderPath.empty() ? HtmlNameFor(document) : o.renderPath;
    try {
        RenderHtml(document, html);
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "tavex: %s\n", error.what());
        return kExitFailedRun;
    }
    std::printf("HTML report written: %s\n", html.c_str());
    return 0;
}

int Main(int argc, char** argv) {
    const Options options = ParseArguments(argc, argv);
    if (options.command == "multiplier")
        return Multiplier(options);
    if (options.command == "render")
        return Render(options);
    static const char* const kProjectCommands[] = {"adjust", "design", "prerun", "cogo", "loops"};
    for (const char* command : kProjectCommands)
        if (options.command == command)
            return RunProject(options);
    BadUsage("unknown command \"" + options.command + "\"");
}

} // namespace

int main(int argc, char** argv) {
    // Every mistake in a project file is a ProjectError with its place; what
    // else escapes is the host's own failure (out of memory, a fault), said
    // plainly instead of an abort.
    try {
        return Main(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tavex: internal error: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "tavex: internal error\n");
    }
    return kExitFailedRun;
}
