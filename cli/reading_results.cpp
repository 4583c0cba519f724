// The readings of every observation record after a run, with what became of
// each. The kernel writes results only for readings it formed an equation
// for; the host laid out every result byte as kNotWritten, so a reading
// whose standard deviation is still kNotWritten was left out. Relations
// (double and tape distances) and local coordinates never receive results in
// the record: they are adjusted with their results in the kernel's report,
// unless the kernel left them out, which it says in a warning naming the
// record.
#include "adjustment_frame.h"
#include "run_results.h"

#include <cmath>

namespace TavexCli {

namespace {

class RecordReader {
public:
    RecordReader(const Project& project, const std::vector<Message>& messages, double criticalW,
                 std::vector<ReadingResult>& out)
        : project_(project), messages_(messages), criticalW_(criticalW), out_(out) {}

    // Observation k of the file, which is record k + 1.
    void Read(std::size_t k, const Tavex::_OBSERVATION& record);

private:
    ReadingResult Base(std::size_t k, const char* kind) const;
    // Pushes a reading with the results of slot i of a terrestrial or
    // GPS-coordinate record; returns whether the kernel wrote them.
    bool Terrestrial(std::size_t k, const Tavex::_OBSERVATION& record, int slot, const char* kind);
    void Single(std::size_t k, const Tavex::_OBSERVATION& record, const char* kind);
    void Baseline(std::size_t k, const Tavex::_OBSERVATION& record);
    void TotalStation(std::size_t k, const Tavex::_OBSERVATION& record);
    void ReportOnly(std::size_t k);
    void Push(ReadingResult r, bool written);
    int WarningsNaming(unsigned record) const;

    const Project& project_;
    const std::vector<Message>& messages_;
    double criticalW_;
    std::vector<ReadingResult>& out_;
};

ReadingResult RecordReader::Base(std::size_t k, const char* kind) const {
    const Observation& o = project_.observations[k];
    ReadingResult r;
    r.record = static_cast<unsigned>(k + 1);
    r.where = o.where;
    r.kind = kind;
    r.from = project_.stations[o.from - 1].name;
    r.to = o.to ? project_.stations[o.to - 1].name : "";
    return r;
}

void RecordReader::Push(ReadingResult r, bool written) {
    if (!written) {
        // Whatever the result bytes hold is the layout's sentinel.
        r.residual = r.w = r.mdb = r.redundancy = r.sd = r.sdAdjusted = 0.0;
        r.state = ReadingState::LeftOut;
    } else {
        r.state = ReadingState::Adjusted;
        r.rejected = !project_.settings.design && std::fabs(r.w) > criticalW_;
    }
    out_.push_back(r);
}

bool RecordReader::Terrestrial(std::size_t k, const Tavex::_OBSERVATION& record, int slot,
                               const char* kind) {
    const auto& t = record.Terrestrial;
    ReadingResult r = Base(k, kind);
    const bool written = !NotWritten(t.Sd[slot]);
    r.residual = t.Residual[slot];
    r.w = t.W[slot];
    r.mdb = t.Mdb[slot];
    r.redundancy = t.Redundancy[slot];
    r.sd = t.Sd[slot];
    r.sdAdjusted = t.SdAdjusted[slot];
    Push(r, written);
    return written;
}

void RecordReader::Single(std::size_t k, const Tavex::_OBSERVATION& record, const char* kind) {
    const auto& s = record.Single;
    ReadingResult r = Base(k, kind);
    r.residual = s.Residual;
    r.w = s.W;
    r.mdb = s.Mdb;
    r.redundancy = s.Redundancy;
    r.sd = s.Sd;
    r.sdAdjusted = s.SdAdjusted;
    Push(r, !NotWritten(s.Sd));
}

void RecordReader::Baseline(std::size_t k, const Tavex::_OBSERVATION& record) {
    const auto& b = record.Baseline;
    static const char* const kAxes[3] = {"gps_baseline_x", "gps_baseline_y", "gps_baseline_z"};
    for (int i = 0; i < 3; ++i) {
        ReadingResult r = Base(k, kAxes[i]);
        r.residual = b.Residual[i];
        r.w = b.W[i];
        r.mdb = b.Mdb[i];
        r.redundancy = b.Redundancy[i];
        r.sd = b.Sd[i];
        r.sdAdjusted = b.SdAdjusted[i];
        Push(r, !NotWritten(b.Sd[i]));
    }
}

// Slot i holds type i + 1. In a height network the distance slot carries the
// trigonometric height difference the distance forms with its zenith angle;
// a zenith angle that only reduced or formed its distance gets nothing.
void RecordReader::TotalStation(std::size_t k, const Tavex::_OBSERVATION& record) {
    const Observation& o = project_.observations[k];
    if (o.direction)
        Terrestrial(k, record, 0, "direction");
    bool distanceWritten = false;
    if (o.distance) {
        const bool trigonometric = project_.settings.dimension == 1 && o.zenith;
        distanceWritten = Terrestrial(
            k, record, 1, trigonometric ? "trigonometric_height_difference" : "distance");
    }
    if (!o.zenith)
        return;
    if (!NotWritten(record.Terrestrial.Sd[2]) || !distanceWritten) {
        Terrestrial(k, record, 2, "zenith");
        return;
    }
    ReadingResult r = Base(k, "zenith");
    r.state = ReadingState::CombinedWithDistance;
    out_.push_back(r);
}

int RecordReader::WarningsNaming(unsigned record) const {
    int count = 0;
    for (const Message& m : messages_)
        count += !m.error && m.record == record ? 1 : 0;
    return count;
}

// Double and tape distances, local coordinates. The kernel leaves out what
// the dimension cannot use (relations in 1D, local heights in 2D, local east
// and north in 1D) with one warning per reading; any further warning that
// names the record leaves the rest out too.
void RecordReader::ReportOnly(std::size_t k) {
    const Observation& o = project_.observations[k];
    const int dimension = project_.settings.dimension;
    const auto push = [&](const char* kind, bool leftOut) {
        ReadingResult r = Base(k, kind);
        r.state = leftOut ? ReadingState::LeftOut : ReadingState::InReport;
        out_.push_back(r);
    };
    const bool takesPart = TakesPart(project_, o);
    const int warnings = WarningsNaming(static_cast<unsigned>(k + 1));
    if (o.kind != ObservationKind::LocalCoordinates) {
        push(o.kind == ObservationKind::DoubleDistance ? "double_distance" : "tape_distance",
             !takesPart || dimension == 1 || warnings > 0);
        return;
    }
    static const char* const kComponents[3] = {"local_east", "local_north", "local_height"};
    bool byDimension[3];
    int excluded = 0;
    for (std::size_t c = 0; c < 3; ++c) {
        byDimension[c] = c == 2 ? dimension == 2 : dimension == 1;
        excluded += o.local[c] && byDimension[c] ? 1 : 0;
    }
    const bool otherWarnings = warnings > excluded;
    for (std::size_t c = 0; c < 3; ++c)
        if (o.local[c])
            push(kComponents[c], !takesPart || byDimension[c] || otherWarnings);
}

void RecordReader::Read(std::size_t k, const Tavex::_OBSERVATION& record) {
    const Observation& o = project_.observations[k];
    switch (o.kind) {
    case ObservationKind::Direction:
        Terrestrial(k, record, 0, "direction");
        break;
    case ObservationKind::Distance:
        Terrestrial(k, record, 1, "distance");
        break;
    case ObservationKind::Zenith:
        Terrestrial(k, record, 2, "zenith");
        break;
    case ObservationKind::TotalStation:
        TotalStation(k, record);
        break;
    case ObservationKind::Azimuth:
        Single(k, record, "azimuth");
        break;
    case ObservationKind::HeightDifference:
        Single(k, record, "height_difference");
        break;
    case ObservationKind::GpsBaseline:
        Baseline(k, record);
        break;
    case ObservationKind::GpsCoordinate:
        for (int i = 0; i < 3; ++i)
            Terrestrial(k, record, i, i == 0 ? "gps_x" : (i == 1 ? "gps_y" : "gps_z"));
        break;
    case ObservationKind::DoubleDistance:
    case ObservationKind::TapeDistance:
    case ObservationKind::LocalCoordinates:
        ReportOnly(k);
        break;
    }
}

} // namespace

const char* StateName(ReadingState state) {
    switch (state) {
    case ReadingState::Adjusted:
        return "adjusted";
    case ReadingState::LeftOut:
        return "left_out";
    case ReadingState::CombinedWithDistance:
        return "combined_with_distance";
    case ReadingState::SideShot:
        return "side_shot";
    default:
        return "results_in_report";
    }
}

std::vector<ReadingResult> ReadReadings(const Project& project, const Records& records,
                                        const std::vector<Message>& messages, double criticalW) {
    std::vector<ReadingResult> out;
    RecordReader reader(project, messages, criticalW, out);
    for (std::size_t k = 0; k < project.observations.size(); ++k)
        reader.Read(k, records.observations[k + 1]);
    return out;
}

} // namespace TavexCli
