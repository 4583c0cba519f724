// Laying out the kernel's boundary records from the host's model.
#ifndef TAVEX_CLI_RECORD_LAYOUT_H
#define TAVEX_CLI_RECORD_LAYOUT_H

#include "project_model.h"

#include <tavex/tavex.h>

#include <memory>
#include <string>
#include <vector>

namespace TavexCli {

// The records of one project. The observation array keeps an empty element
// 0: the kernel reads positions 1 to n.
struct Records {
    std::unique_ptr<Tavex::_SETTINGS> settings = std::make_unique<Tavex::_SETTINGS>();
    std::vector<Tavex::_STATIONADJ> stations;
    std::vector<Tavex::_OBSERVATION> observations;
    // For every observation record, the model observation it came from.
    std::vector<std::size_t> source;

    unsigned ObservationCount() const { return static_cast<unsigned>(observations.size() - 1); }
};

// outputDirectory and outputStem (at most 8 characters) name the files the
// kernel writes: stem.out for the text report, stem.xml for the document,
// stem.msg for the messages, stem.var for the variances; outputForm 0
// writes none, 1 the text report, 2 the XML document.
Records LayOut(const Project& project, const std::string& outputDirectory,
               const std::string& outputStem, int outputForm);

} // namespace TavexCli

#endif
