// ddct against FFTW's REDFT10 (the same transform times 2) at the sizes the FFT
// window uses, 256 and 512, in one run. Every iteration first copies the same
// input into the work array, because both transforms work in place and would
// otherwise feed on their own growing output; BM_CopyOnly times that copy
// alone. After the benchmarks the ratio ours / FFTW is printed per size, both
// as measured and with the copy taken off both sides.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "cosine_transform.h"

namespace {

std::vector<double> Input(int n)
{
    std::mt19937 generator(12345);
    std::uniform_real_distribution<double> value(-32768.0, 32768.0);
    std::vector<double> a(n);
    for (double& x : a)
        x = value(generator);
    return a;
}

void BM_Ddct(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> input = Input(n);
    double* work = fftw_alloc_real(n);
    for (auto _ : state) {
        std::memcpy(work, input.data(), n * sizeof(double));
        ddct(n, -1, work);
        benchmark::DoNotOptimize(work);
        benchmark::ClobberMemory();
    }
    fftw_free(work);
}

void BM_FftwRedft10(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> input = Input(n);
    double* work = fftw_alloc_real(n);
    // Planning with FFTW_MEASURE times candidate plans on the array and
    // overwrites it; the input is copied in afterwards, in the timed loop.
    fftw_plan plan = fftw_plan_r2r_1d(n, work, work, FFTW_REDFT10, FFTW_MEASURE);
    for (auto _ : state) {
        std::memcpy(work, input.data(), n * sizeof(double));
        fftw_execute(plan);
        benchmark::DoNotOptimize(work);
        benchmark::ClobberMemory();
    }
    fftw_destroy_plan(plan);
    fftw_free(work);
}

void BM_CopyOnly(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> input = Input(n);
    double* work = fftw_alloc_real(n);
    for (auto _ : state) {
        std::memcpy(work, input.data(), n * sizeof(double));
        benchmark::DoNotOptimize(work);
        benchmark::ClobberMemory();
    }
    fftw_free(work);
}

const int kRepetitions = 5;

BENCHMARK(BM_Ddct)->Arg(256)->Arg(512)->Unit(benchmark::kNanosecond)->Repetitions(kRepetitions);
BENCHMARK(BM_FftwRedft10)
    ->Arg(256)
    ->Arg(512)
    ->Unit(benchmark::kNanosecond)
    ->Repetitions(kRepetitions);
BENCHMARK(BM_CopyOnly)->Arg(256)->Arg(512)->Unit(benchmark::kNanosecond)->Repetitions(kRepetitions);

// The console output as usual, and the median real and CPU time per iteration
// of each benchmark and size kept for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Plain text: the output usually goes to a log.
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.time_unit != benchmark::kNanosecond)
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (median || single) {
                Times& times = nanoseconds_[run.run_name.function_name][run.run_name.args];
                times.real = run.GetAdjustedRealTime();
                times.cpu = run.GetAdjustedCPUTime();
            }
        }
    }

    void PrintRatios() const
    {
        std::printf(
            "\nddct / FFTW REDFT10, median time per call in ns (copy of the input included;\n"
            "net: the copy taken off both sides):\n");
        std::printf("%6s %10s %10s %8s %8s %8s %10s\n", "n", "ddct", "FFTW", "copy", "ratio", "net",
                    "cpu ratio");
        for (const char* size : {"256", "512"}) {
            const Times ours = Find("BM_Ddct", size), fftw = Find("BM_FftwRedft10", size),
                        copy = Find("BM_CopyOnly", size);
            if (ours.real <= 0 || fftw.real <= 0)
                continue;
            std::printf("%6s %10.1f %10.1f %8.1f %8.3f %8.3f %10.3f\n", size, ours.real, fftw.real,
                        copy.real, ours.real / fftw.real,
                        (ours.real - copy.real) / (fftw.real - copy.real), ours.cpu / fftw.cpu);
        }
    }

private:
    struct Times {
        double real = 0, cpu = 0;
    };

    Times Find(const std::string& name, const std::string& args) const
    {
        const auto byName = nanoseconds_.find(name);
        if (byName == nanoseconds_.end())
            return Times();
        const auto bySize = byName->second.find(args);
        return bySize == byName->second.end() ? Times() : bySize->second;
    }

    std::map<std::string, std::map<std::string, Times>> nanoseconds_;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
