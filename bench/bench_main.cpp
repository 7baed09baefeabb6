// Runs the registered benchmarks and prints one line per figure, "name: median unit",
// so every benchmark program of the project reports the same way.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

class MedianReporter : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context&) override { return true; }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median")
                continue;
            // CPU time: the figure should not depend on what else the machine is doing.
            // Benchmarks that time another process report wall time of their own instead.
            const bool manual = run.run_name.time_type.find("manual") != std::string::npos;
            const double value = manual ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
            std::printf("%s: %.3f %s\n", run.run_name.function_name.c_str(), value,
                        benchmark::GetTimeUnitString(run.time_unit));
            for (const auto& [name, counter] : run.counters)
                std::printf("%s/%s: %.3f\n", run.run_name.function_name.c_str(), name.c_str(),
                            static_cast<double>(counter));
        }
        std::fflush(stdout);
    }
};

} // namespace

int main(int argc, char** argv)
{
    std::vector<char*> args(argv, argv + argc);
    std::string reps = "--benchmark_repetitions=9";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    std::string minTime = "--benchmark_min_time=0.05";
    args.insert(args.begin() + 1, {reps.data(), aggregates.data(), minTime.data()});
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
