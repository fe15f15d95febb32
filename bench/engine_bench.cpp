// The engine's hot paths at full capacity: 1000 members generated and listed, 1000-member files
// composed and written, and the spreadsheet and summary outputs composed, for each system.
#include "core/settings.h"
#include "session/startup.h"
#include "core/dice.h"
#include "generate/generators.h"
#include "listing/csvwriter.h"
#include "listing/listingfiles.h"
#include "listing/screenlisting.h"
#include "listing/summary.h"
#include "weapons/weapontable.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace throngkit {
namespace {

std::unique_ptr<Settings> FullRabbleSettings(GameSystem system)
{
    auto settings = std::make_unique<Settings>();
    InitialiseSettings(*settings);
    const QString table = DefaultTablePath(QStringLiteral(THRONGKIT_SOURCE_DATA_DIR "/"), system);
    if (!LoadWeaponTable(*settings, table).ok())
        std::abort();
    settings->HowMany = MaxMembers;
    return settings;
}

// A rabble of 1000 made once for the benchmarks that read one; nothing, and the benchmark
// skipped, when the generator refuses.
std::unique_ptr<Settings> GeneratedRabble(benchmark::State &state, GameSystem system)
{
    auto settings = FullRabbleSettings(system);
    Dice dice(20261207);
    if (!GenerateRabble(system, *settings, dice)) {
        state.SkipWithError("generation refused");
        return nullptr;
    }
    return settings;
}

void GenerateAndList(benchmark::State &state, GameSystem system)
{
    const auto settings = FullRabbleSettings(system);
    Dice dice(20261207);
    for (auto _ : state) {
        if (!GenerateRabble(system, *settings, dice))
            state.SkipWithError("generation refused");
        benchmark::DoNotOptimize(BuildListing(system, *settings));
    }
    state.SetItemsProcessed(state.iterations() * MaxMembers);
}

void WriteFile(benchmark::State &state, GameSystem system, FileFormat format)
{
    const auto settings = GeneratedRabble(state, system);
    if (!settings)
        return;
    QTemporaryDir dir;
    const QString path = dir.filePath(format == FileFormat::Rbl ? QStringLiteral("bench.rbl")
                                                                : QStringLiteral("bench.htm"));
    for (auto _ : state) {
        const Outcome saved =
            WriteListingFile(system, format, *settings, QStringLiteral("Benchmark"), path);
        if (!saved)
            state.SkipWithError("save failed");
    }
    state.SetItemsProcessed(state.iterations() * MaxMembers);
}

// What `generate --format csv` and `--format summary` make of a generated rabble.
void Csv(benchmark::State &state, GameSystem system)
{
    const auto settings = GeneratedRabble(state, system);
    if (!settings)
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(ComposeCsv(system, *settings));
    state.SetItemsProcessed(state.iterations() * MaxMembers);
}

void Summary(benchmark::State &state, GameSystem system)
{
    const auto settings = GeneratedRabble(state, system);
    if (!settings)
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildSummary(system, *settings));
    state.SetItemsProcessed(state.iterations() * MaxMembers);
}

BENCHMARK_CAPTURE(GenerateAndList, runequest, GameSystem::RuneQuest)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(GenerateAndList, traveller, GameSystem::Traveller)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WriteFile, runequest_rbl, GameSystem::RuneQuest, FileFormat::Rbl)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WriteFile, runequest_htm, GameSystem::RuneQuest, FileFormat::Htm)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WriteFile, traveller_rbl, GameSystem::Traveller, FileFormat::Rbl)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WriteFile, traveller_htm, GameSystem::Traveller, FileFormat::Htm)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Csv, runequest, GameSystem::RuneQuest)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Csv, traveller, GameSystem::Traveller)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Summary, runequest, GameSystem::RuneQuest)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Summary, traveller, GameSystem::Traveller)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace throngkit

BENCHMARK_MAIN();
