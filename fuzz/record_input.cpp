#include "record_input.h"

#include <algorithm>
#include <cstring>

namespace TavexFuzz {

static_assert(offsetof(Tavex::_SETTINGS, Messages) == kSettingsBytes);
static_assert(kObservationInputBytes == 4 + sizeof(Tavex::_OBSERVATION::Input));

namespace {

// Reads the input front to back; bytes past its end read as zeros.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    void Bytes(void* out, std::size_t n) {
        const std::size_t available = std::min(n, size_ - pos_);
        if (available > 0)
            std::memcpy(out, data_ + pos_, available);
        std::memset(static_cast<unsigned char*>(out) + available, 0, n - available);
        pos_ += available;
    }
    std::uint32_t U32() {
        unsigned char b[4];
        Bytes(b, sizeof b);
        return std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 |
               std::uint32_t{b[3]} << 24;
    }
    // How many records of recordSize start before the input's end.
    std::size_t RecordsLeft(std::size_t recordSize) const {
        return (size_ - pos_ + recordSize - 1) / recordSize;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
}

} // namespace

RecordInput Decode(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    RecordInput r;
    unsigned char flags[4];
    in.Bytes(flags, sizeof flags);
    r.header.runs = flags[0];
    r.header.shaping = flags[1];
    r.header.hostile = flags[2];
    r.header.variant = flags[3];
    r.header.stations = in.U32();
    r.header.observations = in.U32();
    r.header.seed = in.U32();
    in.Bytes(r.settings.data(), r.settings.size());

    const std::size_t stations =
        std::min<std::size_t>({r.header.stations, kMaxStations, in.RecordsLeft(kStationBytes)});
    r.stations.resize(stations);
    for (Tavex::_STATIONADJ& station : r.stations)
        in.Bytes(&station, kStationBytes);

    const std::size_t observations = std::min<std::size_t>(
        {r.header.observations, kMaxObservations, in.RecordsLeft(kObservationInputBytes)});
    r.observations.resize(observations + 1);
    for (std::size_t k = 1; k <= observations; ++k)
        in.Bytes(&r.observations[k], kObservationInputBytes);
    return r;
}

std::string Encode(const Header& header, const Tavex::_SETTINGS& settings,
                   const std::vector<Tavex::_STATIONADJ>& stations,
                   const std::vector<Tavex::_OBSERVATION>& observations) {
    std::string out;
    out.push_back(static_cast<char>(header.runs));
    out.push_back(static_cast<char>(header.shaping));
    out.push_back(static_cast<char>(header.hostile));
    out.push_back(static_cast<char>(header.variant));
    const std::size_t n = observations.empty() ? 0 : observations.size() - 1;
    PutU32(out, static_cast<std::uint32_t>(stations.size()));
    PutU32(out, static_cast<std::uint32_t>(n));
    PutU32(out, header.seed);
    out.append(reinterpret_cast<const char*>(&settings), kSettingsBytes);
    for (const Tavex::_STATIONADJ& station : stations)
        out.append(reinterpret_cast<const char*>(&station), kStationBytes);
    for (std::size_t k = 1; k <= n; ++k)
        out.append(reinterpret_cast<const char*>(&observations[k]), kObservationInputBytes);
    return out;
}

} // namespace TavexFuzz
