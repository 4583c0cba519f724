// Laying out the kernel's boundary records from the host's model.
#ifndef TAVEX_CLI_RECORD_LAYOUT_H
#define TAVEX_CLI_RECORD_LAYOUT_H

#include "project_model.h"
#include "settings_record.h"

#include <tavex/tavex.h>

#include <cstring>
#include <string>
#include <vector>

namespace TavexCli {

// The records of one project. Every observation of the file becomes exactly
// one record: observation k of the file's list (0-based) is record k + 1,
// the number the kernel's messages give. The observation array keeps an
// empty element 0: the kernel reads positions 1 to n.
//
// Results the kernel did not write stay recognisable: the result bytes
// (156 to 391) of every observation record and the standard deviations of
// the additional parameters start as kNotWritten, which the kernel never
// writes (every value it writes is a number).
struct Records {
    SettingsRecord settings;
    std::vector<Tavex::_STATIONADJ> stations;
    std::vector<Tavex::_OBSERVATION> observations;

    unsigned ObservationCount() const { return static_cast<unsigned>(observations.size() - 1); }
};

// The byte every result byte starts as: eight of them are a NaN double, four
// a NaN float.
inline constexpr unsigned char kNotWrittenByte = 0xFF;

// Whether the kernel left a result field as it was laid out (the field's
// value, copied out of the packed record; a copy keeps a NaN's bits).
template <class T>
bool NotWritten(T field) {
    unsigned char bytes[sizeof field];
    std::memcpy(bytes, &field, sizeof field);
    for (unsigned char b : bytes)
        if (b != kNotWrittenByte)
            return false;
    return true;
}

// outputDirectory and outputStem (at most 8 characters) name the files the
// kernel writes: stem.out for the text report, stem.xml for the document,
// stem.msg for the messages, stem.var for the variances; outputForm 0
// writes none, 1 the text report, 2 the XML document.
Records LayOut(const Project& project, const std::string& outputDirectory,
               const std::string& outputStem, int outputForm);

} // namespace TavexCli

#endif
