// Turns the decoded records into what a host plausibly hands over (most of
// the time), and writes hostile numbers over some of their fields (some of
// the time). See record_input.h for the header bits that choose.
#ifndef TAVEX_FUZZ_RECORD_SHAPING_H
#define TAVEX_FUZZ_RECORD_SHAPING_H

#include "record_input.h"

#include <cstdint>

namespace TavexFuzz {

// splitmix64: the choices of one input, reproducible from its seed.
class Choices {
public:
    explicit Choices(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    unsigned Below(unsigned n) { return n == 0 ? 0 : static_cast<unsigned>(Next() % n); }

private:
    std::uint64_t state_;
};

void ShapeSettings(Tavex::_SETTINGS& s, Choices& choices);
void ShapeStations(std::vector<Tavex::_STATIONADJ>& stations, Choices& choices);
// Station and target numbers into 1..stationCount.
void ShapeStationNumbers(std::vector<Tavex::_OBSERVATION>& observations, std::size_t stationCount,
                         Choices& choices);
// Kinds the kernel reads and type codes that fit them.
void ShapeKinds(std::vector<Tavex::_OBSERVATION>& observations, Choices& choices);
// Writes `count` hostile values over number fields of the records.
void WriteHostileNumbers(Tavex::_SETTINGS& s, std::vector<Tavex::_STATIONADJ>& stations,
                         std::vector<Tavex::_OBSERVATION>& observations, unsigned count,
                         Choices& choices);

} // namespace TavexFuzz

#endif
