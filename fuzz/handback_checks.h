// What the records fuzzing target asserts about what the kernel hands back.
// A failed assertion traps, so libFuzzer keeps the input as a crash.
#ifndef TAVEX_FUZZ_HANDBACK_CHECKS_H
#define TAVEX_FUZZ_HANDBACK_CHECKS_H

#include <tavex/tavex.h>

#include <cstddef>
#include <string_view>
#include <vector>

namespace TavexFuzz {

// Prints what failed, with the messages of the settings record named by
// ShowMessagesOnFailure, and traps.
[[noreturn]] void Fail(const char* what, long detail = 0);
void ShowMessagesOnFailure(const Tavex::_SETTINGS* settings);

bool IsValidUtf8(std::string_view text);

// Every message text is zero-terminated within its field and valid UTF-8.
void CheckMessages(const Tavex::_SETTINGS& settings);

// The byte every result field starts as; eight of them are a NaN double the
// kernel never writes, so a field still holding them was left alone.
inline constexpr unsigned char kUntouched = 0xFF;

// A copy of the records before a run, to tell afterwards which numbers the
// run wrote.
struct RecordSnapshot {
    std::vector<Tavex::_STATIONADJ> stations;
    std::vector<std::vector<Tavex::_OBSERVATION>> observations;
    std::vector<unsigned char> settings;
};

struct Records {
    Tavex::_SETTINGS* settings = nullptr;
    std::vector<Tavex::_STATIONADJ>* stations = nullptr;
    // One or more arrays as passed to SetObservations, element 0 unused.
    std::vector<std::vector<Tavex::_OBSERVATION>*> observations;
};

RecordSnapshot Snapshot(const Records& records);

// After a successful Adjust: every number written into the station and
// observation records, the statistics and the settings is finite; an
// adjusted station has finite coordinates; records of kinds the kernel
// ignores are untouched.
void CheckAdjustment(const Records& records, const RecordSnapshot& before,
                     const Tavex::_STATISTICS& statistics);
// After a successful COGO: every coordinate written is finite.
void CheckApproximateCoordinates(const Records& records, const RecordSnapshot& before);
// After a successful Loops: station numbers within the table, numbers finite.
void CheckLoops(const std::vector<Tavex::_LOOP_RESULT>& loops, std::size_t stationCount);
// After any run: the observation records' results were written only by
// Adjust, and only into records the kernel reads.
void CheckUntouched(const Records& records, const RecordSnapshot& before);

} // namespace TavexFuzz

#endif
