#include "project/settings_check.h"

#include "messages/string_loader.h"
#include "resources/string_ids.h"

#include <initializer_list>

namespace Tavex {

namespace {

bool IsProbability(double x) {
    return x > 0.0 && x < 1.0;
}

// The largest selector values of the settings with a fixed set of codes.
constexpr int kLargestCovarianceMode = 4;
constexpr int kLargestScalingMode = 2;
constexpr int kLargestVarianceComponentMode = 3;
// The iteration limits bound the work of one adjustment: IterMax iterations
// per solution, VarIterMax + 1 solutions with variance components.
constexpr int kLargestIterationCount = 1000;

} // namespace

int SettingOutOfRange(ProjectState& p, const char* setting, double value) {
    CKZString text;
    text.Format(CStringL(STR_SETTING_OUT_OF_RANGE).c_str(), setting, value);
    p.Messages.AddMessage(STR_SETTING_OUT_OF_RANGE, MSG_ERROR, REF_NONE, text);
    return 0;
}

namespace {

struct Check {
    const char* name;
    double value;
    bool ok;
};

int FirstOutOfRange(ProjectState& p, std::initializer_list<Check> checks) {
    for (const Check& check : checks)
        if (!check.ok)
            return SettingOutOfRange(p, check.name, check.value);
    return 1;
}

} // namespace

int CheckAdjustmentSettings(ProjectState& p) {
    return FirstOutOfRange(
        p,
        {
            {"Dimension", static_cast<double>(p.Dimension), p.Dimension >= 1 && p.Dimension <= 3},
            {"Phase", static_cast<double>(p.Phase),
             p.Phase == PHASE_FREE || p.Phase == PHASE_WEIGHTED || p.Phase == PHASE_CONSTRAINED},
            {"Sigma0", p.Sigma0, p.Sigma0 > 0.0},
            {"Alfa0", p.Alfa0, IsProbability(p.Alfa0)},
            {"Beta", p.Beta, IsProbability(p.Beta)},
            {"ConfidenceLevel1D", p.ConfidenceLevel1D, IsProbability(p.ConfidenceLevel1D)},
            {"ConfidenceLevel2D", p.ConfidenceLevel2D, IsProbability(p.ConfidenceLevel2D)},
            {"IterMax", static_cast<double>(p.IterMax),
             p.IterMax >= 0 && p.IterMax <= kLargestIterationCount},
            {"Epsilon", p.Epsilon, p.Epsilon >= 0.0},
            {"DeltaSingular", p.DeltaSingular, p.DeltaSingular >= 0.0},
            {"LinearFact", p.LinearFact, p.LinearFact > 0.0},
            {"CovMatrix", static_cast<double>(p.CovMatrix),
             p.CovMatrix >= 0 && p.CovMatrix <= kLargestCovarianceMode},
            {"APosVarFac", static_cast<double>(p.APosVarFac),
             p.APosVarFac >= 0 && p.APosVarFac <= kLargestScalingMode},
            {"VarComponent", static_cast<double>(p.VarComponent),
             p.VarComponent >= 0 && p.VarComponent <= kLargestVarianceComponentMode},
            {"VarIterMax", static_cast<double>(p.VarIterMax),
             !p.VarComponent || (p.VarIterMax >= 0 && p.VarIterMax <= kLargestIterationCount)},
            {"VarEpsilon", p.VarEpsilon, !p.VarComponent || p.VarEpsilon > 0.0},
        });
}

int CheckPreRunSettings(ProjectState& p) {
    return FirstOutOfRange(p, {
                                  {"Dimension", static_cast<double>(p.Dimension),
                                   p.Dimension >= 1 && p.Dimension <= 3},
                                  {"Sigma0", p.Sigma0, p.Sigma0 > 0.0},
                                  {"Alfa0", p.Alfa0, IsProbability(p.Alfa0)},
                                  {"DeltaSingular", p.DeltaSingular, p.DeltaSingular >= 0.0},
                                  {"LinearFact", p.LinearFact, p.LinearFact > 0.0},
                              });
}

} // namespace Tavex
