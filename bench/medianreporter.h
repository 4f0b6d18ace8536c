#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>

namespace tarvik::bench {

// The usual console table, keeping for each benchmark the median real time
// of its repetitions (or the single run's time without repetitions) so that
// main() can print the summary lines.
class MedianReporter : public benchmark::ConsoleReporter
{
public:
    explicit MedianReporter(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& runs) override;

    // In milliseconds; empty when the benchmark did not run.
    [[nodiscard]] std::optional<double> medianMs(const std::string& name) const;

private:
    std::map<std::string, double> m_medianMs;
    std::map<std::string, double> m_singleMs;
};

} // namespace tarvik::bench
