#pragma once
// A console reporter that also prints, once every benchmark has run, a summary
// table with one row per benchmark and one column per chosen counter. Each bench
// program names the counters that make its table (ratios measured side by side in
// the same iterations).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace bench {

struct SummaryColumn {
    std::string counter; // counter name; a missing counter prints "-"
    std::string title;
    int decimals = 2;
};

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    SummaryReporter(std::string heading, std::vector<SummaryColumn> columns)
        : ConsoleReporter(OO_Tabular), heading_(std::move(heading)), columns_(std::move(columns)) {}

    bool ReportContext(const Context& context) override {
        cpus_ = context.cpu_info.num_cpus;
        mhz_ = context.cpu_info.cycles_per_second / 1e6;
        return ConsoleReporter::ReportContext(context);
    }

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration)
                continue;
            // The name without the iteration count and the timing suffix.
            std::string name = run.benchmark_name();
            name = name.substr(0, name.find("/iterations:"));
            Row row{name, {}};
            for (const SummaryColumn& column : columns_) {
                const auto found = run.counters.find(column.counter);
                row.cells.push_back(run.error_occurred || found == run.counters.end()
                                        ? std::string("-")
                                        : Format(found->second.value, column.decimals));
            }
            rows_.push_back(std::move(row));
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        size_t nameWidth = 9;
        for (const Row& row : rows_)
            nameWidth = std::max(nameWidth, row.name.size());
        std::printf("\n== %s (%d CPUs at %.0f MHz) ==\n", heading_.c_str(), cpus_, mhz_);
        std::printf("%-*s", static_cast<int>(nameWidth), "benchmark");
        for (const SummaryColumn& column : columns_)
            std::printf("  %*s", Width(column), column.title.c_str());
        std::printf("\n");
        for (const Row& row : rows_) {
            std::printf("%-*s", static_cast<int>(nameWidth), row.name.c_str());
            for (size_t i = 0; i < columns_.size(); ++i)
                std::printf("  %*s", Width(columns_[i]), row.cells[i].c_str());
            std::printf("\n");
        }
        std::fflush(stdout);
    }

private:
    struct Row {
        std::string name;
        std::vector<std::string> cells;
    };

    static std::string Format(double value, int decimals) {
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        return text;
    }
    static int Width(const SummaryColumn& column) {
        return static_cast<int>(std::max<size_t>(column.title.size(), 10));
    }

    std::string heading_;
    std::vector<SummaryColumn> columns_;
    std::vector<Row> rows_;
    int cpus_ = 0;
    double mhz_ = 0;
};

} // namespace bench
