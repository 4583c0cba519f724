// Reading what the reports are made of in the host's tests: a parsed XML
// file (the result document, or the XHTML report, which must be well-formed
// XML) queried with XPath, the prefixes r (result documents), h (XHTML) and
// s (SVG) bound.
#ifndef TAVEX_TESTS_CLI_REPORT_FILES_H
#define TAVEX_TESTS_CLI_REPORT_FILES_H

#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace TavexCliTest {

class XmlFile {
public:
    // Parses the file; Ok() is false (and Error() says why) when it is not
    // well-formed.
    explicit XmlFile(const std::filesystem::path& path);
    bool Ok() const { return document_ != nullptr; }
    const std::string& Error() const { return error_; }

    // The nodes an XPath expression selects, and a number it computes.
    std::vector<xmlNode*> Nodes(const std::string& xpath) const;
    double Number(const std::string& xpath) const;
    static std::string Attribute(const xmlNode* node, const char* name);

private:
    std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> document_;
    std::string error_;
};

// XPath: elements whose class attribute holds the word.
std::string WithClass(const std::string& element, const std::string& word);

// The unordered station pairs of the adjustment document's observations
// with both stations placed in the plot, and whether any test of the pair's
// observations is rejected; plus the side shots' lines to their held
// station (never rejected).
struct PlotPair {
    long a = 0, b = 0;
    bool rejected = false;
};
std::vector<PlotPair> ObservedPairs(const XmlFile& document);

std::string ReadFile(const std::filesystem::path& path);

} // namespace TavexCliTest

#endif
