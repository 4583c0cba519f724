#include "handback_checks.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace TavexFuzz {

namespace {
const Tavex::_SETTINGS* shownSettings = nullptr;
}

void ShowMessagesOnFailure(const Tavex::_SETTINGS* settings) {
    shownSettings = settings;
}

void Fail(const char* what, long detail) {
    if (shownSettings != nullptr)
        for (const Tavex::_MESSAGE& m : shownSettings->Messages)
            std::fprintf(stderr, "message %d: %.*s\n", m.Code, static_cast<int>(sizeof m.Text),
                         m.Text);
    std::fprintf(stderr, "tavex_fuzz_records: %s (%ld)\n", what, detail);
    std::fflush(stderr);
    __builtin_trap();
}

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::size_t length;
        std::uint32_t cp;
        if (b < 0x80) {
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            length = 2;
            cp = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            length = 3;
            cp = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            length = 4;
            cp = b & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            cp = cp << 6 | (c & 0x3F);
        }
        const std::uint32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (cp < smallest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

void CheckMessages(const Tavex::_SETTINGS& settings) {
    long index = 0;
    for (const Tavex::_MESSAGE& m : settings.Messages) {
        const void* end = std::memchr(m.Text, 0, sizeof m.Text);
        if (end == nullptr)
            Fail("message text without terminator", index);
        const std::string_view text(m.Text, static_cast<const char*>(end) - m.Text);
        if (!IsValidUtf8(text)) {
            std::fprintf(stderr, "message %d: %.*s\n", m.Code, static_cast<int>(text.size()),
                         text.data());
            Fail("message text not UTF-8", m.Code);
        }
        ++index;
    }
}

namespace {

template <class T>
T Load(const void* record, std::size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
    return value;
}

bool Untouched(const void* record, std::size_t offset, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(record) + offset;
    for (std::size_t i = 0; i < size; ++i)
        if (bytes[i] != kUntouched)
            return false;
    return true;
}

bool Changed(const void* before, const void* after, std::size_t offset, std::size_t size) {
    return std::memcmp(static_cast<const unsigned char*>(before) + offset,
                       static_cast<const unsigned char*>(after) + offset, size) != 0;
}

// A double the run wrote (its bytes differ from before) must be finite.
void WrittenFinite(const void* before, const void* after, std::size_t offset, const char* what,
                   long which) {
    if (Changed(before, after, offset, sizeof(double)) &&
        !std::isfinite(Load<double>(after, offset)))
        Fail(what, which * 1000 + static_cast<long>(offset));
}

void WrittenFiniteFloat(const void* before, const void* after, std::size_t offset, const char* what,
                        long which) {
    if (Changed(before, after, offset, sizeof(float)) && !std::isfinite(Load<float>(after, offset)))
        Fail(what, which * 1000 + static_cast<long>(offset));
}

// Doubles and floats of the three result layouts (offsets in the record).
struct ResultLayout {
    std::vector<std::size_t> doubles;
    std::vector<std::size_t> floats;
};

ResultLayout Span(std::initializer_list<std::pair<std::size_t, std::size_t>> doubles,
                  std::initializer_list<std::pair<std::size_t, std::size_t>> floats) {
    ResultLayout layout;
    for (auto [from, count] : doubles)
        for (std::size_t i = 0; i < count; ++i)
            layout.doubles.push_back(from + 8 * i);
    for (auto [from, count] : floats)
        for (std::size_t i = 0; i < count; ++i)
            layout.floats.push_back(from + 4 * i);
    return layout;
}

const ResultLayout& TerrestrialLayout() {
    static const ResultLayout layout =
        Span({{168, 4}, {200, 3}, {224, 3}, {248, 3}, {284, 1}, {292, 3}, {316, 3}}, {{272, 3}});
    return layout;
}
const ResultLayout& BaselineLayout() {
    static const ResultLayout layout = Span(
        {{168, 4}, {200, 3}, {224, 3}, {248, 3}, {272, 3}, {308, 1}, {316, 3}, {340, 3}, {364, 3}},
        {{296, 3}});
    return layout;
}
const ResultLayout& SingleLayout() {
    static const ResultLayout layout =
        Span({{160, 4}, {192, 1}, {200, 1}, {208, 1}, {220, 2}}, {{216, 1}});
    return layout;
}

bool KnownKind(int kind) {
    return kind == 4 || kind == 5 || kind == 6 || kind == 7 || kind == 100;
}

// The first type code of a record's readings.
unsigned FirstType(const Tavex::_OBSERVATION& o) {
    const int kind = o.Kind;
    if (kind == 4 || kind == 5)
        return Load<std::uint16_t>(&o, 6);
    for (int i = 0; i < 3; ++i)
        if (const auto type = Load<std::uint16_t>(&o, 10 + 2 * i); type != 0)
            return type;
    return 0;
}

const ResultLayout* LayoutOf(const Tavex::_OBSERVATION& o) {
    switch (FirstType(o)) {
    case 1:
    case 2:
    case 3:
    case 7:
        return &TerrestrialLayout();
    case 6:
        return &BaselineLayout();
    case 4:
    case 5:
        return &SingleLayout();
    default:
        return nullptr;
    }
}

// Station doubles the adjustment may write.
constexpr std::size_t kStationCoordinates[] = {61, 69, 77, 93, 101, 109, 117, 125, 133, 141};
constexpr std::size_t kStationResults[] = {149, 157, 173, 181, 189, 197, 205, 223, 231,
                                           239, 255, 263, 271, 287, 295, 303, 311};

template <class F>
void ForEachObservation(const Records& records, const RecordSnapshot& before, F f) {
    for (std::size_t a = 0; a < records.observations.size(); ++a) {
        const auto& now = *records.observations[a];
        const auto& then = before.observations[a];
        for (std::size_t k = 1; k < now.size(); ++k)
            f(then[k], now[k], static_cast<long>(k));
    }
}

} // namespace

RecordSnapshot Snapshot(const Records& records) {
    RecordSnapshot s;
    s.stations = *records.stations;
    for (const auto* array : records.observations)
        s.observations.push_back(*array);
    const auto* bytes = reinterpret_cast<const unsigned char*>(records.settings);
    s.settings.assign(bytes, bytes + 1372);
    return s;
}

void CheckUntouched(const Records& records, const RecordSnapshot& before) {
    ForEachObservation(records, before, [](const auto& then, const auto& now, long k) {
        if (Changed(&then, &now, 0, 156))
            Fail("an observation record's input bytes changed", k);
        if (!KnownKind(now.Kind) && Changed(&then, &now, 156, 236))
            Fail("a record of a kind the kernel ignores was written", k);
    });
}

void CheckAdjustment(const Records& records, const RecordSnapshot& before,
                     const Tavex::_STATISTICS& statistics) {
    const auto& stations = *records.stations;
    for (std::size_t k = 0; k < stations.size(); ++k) {
        const auto& now = stations[k];
        const auto& then = before.stations[k];
        const long number = static_cast<long>(k + 1);
        if (now.CoordStatus == 7 && then.CoordStatus != 7)
            for (std::size_t offset : {61, 69, 77})
                if (!std::isfinite(Load<double>(&now, offset)))
                    Fail("an adjusted station with a coordinate that is not finite", number);
        for (std::size_t offset : kStationCoordinates)
            WrittenFinite(&then, &now, offset, "station coordinate or covariance", number);
        for (std::size_t offset : kStationResults)
            WrittenFinite(&then, &now, offset, "station result", number);
    }
    ForEachObservation(records, before, [](const auto& then, const auto& now, long k) {
        if (const ResultLayout* layout = LayoutOf(now)) {
            for (std::size_t offset : layout->doubles)
                WrittenFinite(&then, &now, offset, "observation result", k);
            for (std::size_t offset : layout->floats)
                WrittenFiniteFloat(&then, &now, offset, "observation W-test", k);
        }
    });
    CheckUntouched(records, before);

    // Statistics: words 21 to 40 and the doubles of every filled list entry.
    const void* st = &statistics;
    for (std::size_t offset = 84; offset < 164; offset += 8)
        if (!Untouched(st, offset, 8) && !std::isfinite(Load<double>(st, offset)))
            Fail("statistics value not finite", static_cast<long>(offset));
    const auto checkEntries = [&](std::size_t first, std::size_t size, std::size_t doubles) {
        for (std::size_t e = 0; e < 10; ++e) {
            const std::size_t at = first + e * size;
            const int subject = Load<int>(st, at);
            if (subject == 0 || Untouched(st, at, 4))
                continue;
            for (std::size_t d = 0; d < doubles; ++d)
                if (!std::isfinite(Load<double>(st, at + 8 + 8 * d)))
                    Fail("statistics list entry not finite", static_cast<long>(at));
        }
    };
    checkEntries(164, 40, 3);  // datum W-tests
    checkEntries(564, 48, 5);  // known-station T-tests
    checkEntries(1044, 40, 3); // observation W-tests
    checkEntries(1444, 48, 5); // GPS group T-tests
    checkEntries(1924, 40, 4); // antenna height tests

    // Additional parameters written back into the settings.
    const void* s = records.settings;
    const void* sBefore = before.settings.data();
    for (std::size_t offset = 548; offset < 1028; offset += 8)
        WrittenFinite(sBefore, s, offset, "estimated additional parameter", 0);
    for (std::size_t offset = 1148; offset < 1276; offset += 8)
        WrittenFinite(sBefore, s, offset, "estimated GPS transformation parameter", 0);
}

void CheckApproximateCoordinates(const Records& records, const RecordSnapshot& before) {
    const auto& stations = *records.stations;
    for (std::size_t k = 0; k < stations.size(); ++k)
        for (std::size_t offset : {61, 69, 77})
            WrittenFinite(&before.stations[k], &stations[k], offset, "approximate coordinate",
                          static_cast<long>(k + 1));
    CheckUntouched(records, before);
}

void CheckLoops(const std::vector<Tavex::_LOOP_RESULT>& loops, std::size_t stationCount) {
    long index = 0;
    for (const Tavex::_LOOP_RESULT& loop : loops) {
        if (loop.Stations.empty())
            Fail("a loop without stations", index);
        for (std::uint32_t s : loop.Stations)
            if (s == 0 || s > stationCount)
                Fail("a loop station outside the table", static_cast<long>(s));
        const void* bytes = &loop;
        for (std::size_t offset = 36; offset < 148; offset += 8)
            if (!std::isfinite(Load<double>(bytes, offset)))
                Fail("a loop value not finite", index * 1000 + static_cast<long>(offset));
        ++index;
    }
}

} // namespace TavexFuzz
