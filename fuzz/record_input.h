// The byte encoding the records fuzzing target reads: a header, the settings
// record, station records and observation records, laid out as a host lays
// them out. The seed generator writes the same encoding from project files.
//
//   offset  size  field
//   0       1     runs: bit 0 PreRun, 1 COGO, 2 Adjust, 3 Loops (none set:
//                 all four); bit 4 a second Adjust without a new Initialize;
//                 bit 5 Initialize again with the same records and run again
//   1       1     shaping, three 2-bit fields (settings, station numbers,
//                 kinds and codes): a field with both bits set leaves those
//                 values as the input has them, otherwise implausible values
//                 are replaced by plausible ones
//   2       1     hostile numbers: with bit 7, (bits 0-3) values like NaN,
//                 infinities, 1e300 or INT_MAX written over number fields
//   3       1     variant: bit 0 observations in two arrays; bit 1 a round
//                 with counts beyond the limits and null arrays first; bit 2
//                 a project directory whose name is not UTF-8; bit 3 the
//                 directory without its trailing separator; bit 4 no
//                 progress window
//   4       4     station count (little-endian; capped)
//   8       4     observation count (capped)
//   12      4     seed of the choices the shaping and hostile numbers make
//   16      1372  the settings record up to its message vector
//   then          station records (319 bytes each), then observation records
//                 (the kind and the input part, 156 bytes each); a record the
//                 input ends in is completed with zeros, and no record starts
//                 beyond the input's end
#ifndef TAVEX_FUZZ_RECORD_INPUT_H
#define TAVEX_FUZZ_RECORD_INPUT_H

#include <tavex/tavex.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace TavexFuzz {

inline constexpr std::size_t kHeaderBytes = 16;
inline constexpr std::size_t kSettingsBytes = 1372;
inline constexpr std::size_t kStationBytes = sizeof(Tavex::_STATIONADJ);
inline constexpr std::size_t kObservationInputBytes = 156;
// Enough for every bundled network several times over, small enough that one
// input runs in well under a second under the sanitizers.
inline constexpr std::uint32_t kMaxStations = 400;
inline constexpr std::uint32_t kMaxObservations = 1500;

enum RunBits : std::uint8_t {
    RUN_PRERUN = 1,
    RUN_COGO = 2,
    RUN_ADJUST = 4,
    RUN_LOOPS = 8,
    RUN_ADJUST_AGAIN = 16,
    RUN_REINITIALIZE = 32,
};

enum VariantBits : std::uint8_t {
    VARIANT_SPLIT_OBSERVATIONS = 1,
    VARIANT_HOSTILE_COUNTS = 2,
    VARIANT_LATIN1_DIRECTORY = 4,
    VARIANT_NO_TRAILING_SEPARATOR = 8,
    VARIANT_NO_WINDOW = 16,
};

struct Header {
    std::uint8_t runs = 0;
    std::uint8_t shaping = 0;
    std::uint8_t hostile = 0;
    std::uint8_t variant = 0;
    std::uint32_t stations = 0;
    std::uint32_t observations = 0;
    std::uint32_t seed = 0;
};

struct RecordInput {
    Header header;
    std::array<unsigned char, kSettingsBytes> settings{};
    std::vector<Tavex::_STATIONADJ> stations;
    std::vector<Tavex::_OBSERVATION> observations; // element 0 is never read
};

RecordInput Decode(const std::uint8_t* data, std::size_t size);

// The encoding of a project's records (observations[0] is not written).
std::string Encode(const Header& header, const Tavex::_SETTINGS& settings,
                   const std::vector<Tavex::_STATIONADJ>& stations,
                   const std::vector<Tavex::_OBSERVATION>& observations);

} // namespace TavexFuzz

#endif
