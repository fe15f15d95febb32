// The engine's hot paths at full capacity: 1000 members generated and listed, every output format
// composed, and the files saved durably, for each system.
#include "core/dice.h"
#include "core/settings.h"
#include "generate/generators.h"
#include "listing/outputformats.h"
#include "listing/screenlisting.h"
#include "session/startup.h"
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

// What `generate -o FILE` does after generating: compose, then save whole and synced.
void WriteFile(benchmark::State &state, GameSystem system, OutputFormat format)
{
    const auto settings = GeneratedRabble(state, system);
    if (!settings)
        return;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench") + FormatInfo(format).extension.toString());
    for (auto _ : state) {
        if (!SaveOutput(format, {system, *settings, QStringLiteral("Benchmark")}, path))
            state.SkipWithError("save failed");
    }
    state.SetItemsProcessed(state.iterations() * MaxMembers);
}

// Every format composed in memory, the disk left out.
void Compose(benchmark::State &state, GameSystem system, OutputFormat format)
{
    const auto settings = GeneratedRabble(state, system);
    if (!settings)
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(ComposeOutput(format, {system, *settings, QStringLiteral("Benchmark"), 1}));
    state.SetItemsProcessed(state.iterations() * MaxMembers);
}

constexpr auto RQ = GameSystem::RuneQuest;
constexpr auto Traveller = GameSystem::Traveller;

BENCHMARK_CAPTURE(GenerateAndList, runequest, RQ)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(GenerateAndList, traveller, Traveller)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Compose, runequest_htm, RQ, OutputFormat::Htm)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Compose, runequest_rbl, RQ, OutputFormat::Rbl)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Compose, runequest_json, RQ, OutputFormat::Json)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Compose, runequest_csv, RQ, OutputFormat::Csv)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Compose, runequest_summary, RQ, OutputFormat::Summary)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Compose, traveller_htm, Traveller, OutputFormat::Htm)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Compose, traveller_csv, Traveller, OutputFormat::Csv)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Compose, runequest_foundry, RQ, OutputFormat::Foundry)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Compose, traveller_foundry, Traveller, OutputFormat::Foundry)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WriteFile, runequest_rbl, RQ, OutputFormat::Rbl)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WriteFile, runequest_htm, RQ, OutputFormat::Htm)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WriteFile, traveller_htm, Traveller, OutputFormat::Htm)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace throngkit

BENCHMARK_MAIN();
