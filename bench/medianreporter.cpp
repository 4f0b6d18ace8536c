#include "medianreporter.h"

namespace tarvik::bench {

namespace {

double toMs(double value, benchmark::TimeUnit unit)
{
    return value / benchmark::GetTimeUnitMultiplier(unit) * 1e3;
}

} // namespace

void MedianReporter::ReportRuns(const std::vector<Run>& runs)
{
    for (const Run& run : runs) {
        if (run.error_occurred)
            continue;
        const std::string name = run.run_name.function_name;
        const double ms = toMs(run.GetAdjustedRealTime(), run.time_unit);
        if (run.run_type == Run::RT_Aggregate) {
            if (run.aggregate_name == "median")
                m_medianMs[name] = ms;
        } else {
            m_singleMs[name] = ms;
        }
    }
    ConsoleReporter::ReportRuns(runs);
}

std::optional<double> MedianReporter::medianMs(const std::string& name) const
{
    if (auto it = m_medianMs.find(name); it != m_medianMs.end())
        return it->second;
    if (auto it = m_singleMs.find(name); it != m_singleMs.end())
        return it->second;
    return std::nullopt;
}

} // namespace tarvik::bench
