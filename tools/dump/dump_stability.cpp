// zelk_dump --stability: the clock bias of every position report and of
// every 0x54 (a timing receiver's clock report), placed by its time of fix,
// and at the end the stability table of the longest run.
#include <cmath>
#include <vector>

#include "dump_track.h"
#include "model/stability.h"

namespace {

constexpr double kWeekSeconds = 604800;

class StabilityWriter : public TrackWriter {
public:
    explicit StabilityWriter(bool csv) : csv_(csv) {}

    void Begin(std::string&) override {}

    void End(std::string& out) override
    {
        const PhaseRun run = LongestGapFreeRun(samples_);
        if (!csv_)
            out += "Clock bias of " + std::to_string(samples_.size()) + " reports; " + DescribeRun(run) +
                   "\n";
        out += FormatStabilityTable(StabilityTable(run.phase, run.tau0), csv_);
    }

protected:
    void WritePoint(const TrackPoint& p, std::string&) override
    {
        if (p.clockBiasS)
            TakeClock(p.fixTime, *p.clockBiasS);
    }

    void TakeClock(double fixTime, double clockBiasS) override
    {
        if (!std::isfinite(fixTime))
            return;
        // Times of fix are seconds of the week: a week rollover must not look like
        // time running backwards.
        if (haveLast_ && fixTime < lastFixTime_ - kWeekSeconds / 2)
            weekBase_ += kWeekSeconds;
        else if (haveLast_ && fixTime > lastFixTime_ + kWeekSeconds / 2)
            weekBase_ -= kWeekSeconds;
        haveLast_ = true;
        lastFixTime_ = fixTime;
        samples_.push_back({static_cast<int64_t>(std::llround(weekBase_ + fixTime)), clockBiasS});
    }

private:
    bool csv_;
    bool haveLast_ = false;
    double lastFixTime_ = 0;
    double weekBase_ = 0;
    std::vector<PhaseSample> samples_;
};

} // namespace

std::unique_ptr<TrackWriter> MakeStabilityWriter(bool csv) { return std::make_unique<StabilityWriter>(csv); }
