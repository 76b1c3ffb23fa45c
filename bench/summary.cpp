#include "bench/summary.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace bench_summary {

namespace {

double to_ns(double value, benchmark::TimeUnit unit) {
  switch (unit) {
    case benchmark::kSecond:
      return value * 1e9;
    case benchmark::kMillisecond:
      return value * 1e6;
    case benchmark::kMicrosecond:
      return value * 1e3;
    default:
      return value;
  }
}

// Keeps each benchmark's time per iteration: the median of the repetitions
// when there are several, else the single run.
class Collector : public benchmark::ConsoleReporter {
 public:
  struct Times {
    double cpu_ns = 0;
    double real_ns = 0;
  };
  std::map<std::string, Times> median;
  std::map<std::string, Times> single;
  bool failed = false;

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) {
        failed = true;
        continue;
      }
      const std::string name = run.run_name.function_name;
      const Times times{to_ns(run.GetAdjustedCPUTime(), run.time_unit),
                        to_ns(run.GetAdjustedRealTime(), run.time_unit)};
      if (run.run_type == Run::RT_Aggregate) {
        if (run.aggregate_name == "median") median[name] = times;
      } else {
        single[name] = times;
      }
    }
  }

  bool time_of(const std::string& name, bool wall_clock, double& ns) const {
    auto it = median.find(name);
    if (it == median.end()) it = single.find(name);
    if (it == single.end()) return false;
    ns = wall_clock ? it->second.real_ns : it->second.cpu_ns;
    return true;
  }
};

std::string format_time(double ns) {
  char text[32];
  if (ns >= 1e6) {
    std::snprintf(text, sizeof text, "%.3f ms", ns / 1e6);
  } else if (ns >= 1e3) {
    std::snprintf(text, sizeof text, "%.1f us", ns / 1e3);
  } else {
    std::snprintf(text, sizeof text, "%.0f ns", ns);
  }
  return text;
}

}  // namespace

int run(int argc, char** argv, const std::vector<Figure>& figures) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  benchmark::Shutdown();

  std::printf("\n%-40s %5s %12s %12s %8s  %s\n", "figure", "clock", "time", "baseline", "ratio",
              "target");
  int missed = 0;
  for (const Figure& f : figures) {
    double measured = 0, baseline = 0;
    if (!collector.time_of(f.measured, f.wall_clock, measured)) continue;
    const bool has_baseline = collector.time_of(f.baseline, f.wall_clock, baseline) && baseline > 0;
    std::string target = "-";
    if (f.target_ratio > 0 && has_baseline) {
      const bool met = measured / baseline <= f.target_ratio;
      char text[48];
      std::snprintf(text, sizeof text, "<= %.2fx: %s", f.target_ratio, met ? "met" : "MISSED");
      target = text;
      missed += !met;
    } else if (f.target_ms > 0) {
      const bool met = measured < f.target_ms * 1e6;
      char text[48];
      std::snprintf(text, sizeof text, "< %.0f ms: %s", f.target_ms, met ? "met" : "MISSED");
      target = text;
      missed += !met;
    }
    char ratio[16] = "-";
    if (has_baseline) std::snprintf(ratio, sizeof ratio, "%.2fx", measured / baseline);
    std::printf("%-40s %5s %12s %12s %8s  %s\n", f.title.c_str(), f.wall_clock ? "wall" : "cpu",
                format_time(measured).c_str(), has_baseline ? format_time(baseline).c_str() : "-",
                ratio, target.c_str());
  }
  if (missed > 0) std::printf("%d target(s) missed\n", missed);
  return collector.failed ? 1 : 0;
}

}  // namespace bench_summary
