// Cost of one frame of the game's own logic, without drawing, at growing numbers of entities.
// Run from the build folder (it loads Content/), under a display: textures need one.
#include "app/ChangeScene.hpp"
#include "app/Globals.hpp"
#include "content/ContentManager.hpp"
#include "entities/BillManager.hpp"
#include "entities/FiredClock.hpp"
#include "game/MainGameScene.hpp"

#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

sf::Sprite Centred(int width, int height, float x, float y) {
    sf::Sprite sprite;
    sprite.setTextureRect(sf::IntRect(0, 0, width, height));
    sprite.setOrigin(width * 0.5f, height * 0.5f);
    sprite.setPosition(x, y);
    return sprite;
}

// Bills spread over the upper field and clocks rising between them, so that the hit test walks
// everything without settling anything: its most expensive frame.
void Populate(std::vector<FallingBill>& bills, std::vector<FiredClock>& clocks, int count) {
    for (int i = 0; i < count; ++i) {
        FallingBill bill;
        bill.sprite = Centred(180, 110, 100.0f + (i % 7) * 90.0f, 60.0f + (i % 5) * 60.0f);
        bill.hour = static_cast<float>(i % 12);
        bills.push_back(bill);
        FiredClock clock;
        clock.sprite = Centred(26, 26, 100.0f + (i % 600), 520.0f);
        clocks.push_back(clock);
    }
}

void EntityFrame(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    BillManager manager;
    manager.AddFallSpeed(70); // the starting pace, without loading content
    std::vector<FiredClock> clocks;
    Populate(manager.List(), clocks, count);
    for (auto _ : state) {
        // A frame's worth of movement with no net drift: down then back up.
        benchmark::DoNotOptimize(manager.MoveBills(1.0 / 60.0));
        benchmark::DoNotOptimize(manager.MoveBills(-1.0 / 60.0));
        MoveFiredClocks(clocks, 300, 1.0 / 60.0);
        MoveFiredClocks(clocks, 300, -1.0 / 60.0);
        benchmark::DoNotOptimize(ResolveHits(manager.List(), clocks));
    }
    state.SetComplexityN(count);
}
BENCHMARK(EntityFrame)->Arg(10)->Arg(100)->Arg(1000)->Complexity();

void MoveBillsOnly(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    BillManager manager;
    manager.AddFallSpeed(70); // the starting pace, without loading content
    std::vector<FiredClock> clocks;
    Populate(manager.List(), clocks, count);
    for (auto _ : state) {
        benchmark::DoNotOptimize(manager.MoveBills(1.0 / 60.0));
        benchmark::DoNotOptimize(manager.MoveBills(-1.0 / 60.0));
    }
    state.counters["bills"] = static_cast<double>(manager.List().size());
    state.SetComplexityN(count);
}
BENCHMARK(MoveBillsOnly)->Arg(10)->Arg(100)->Arg(1000)->Complexity(benchmark::oN);

void MoveFiredClocksOnly(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    std::vector<FallingBill> bills;
    std::vector<FiredClock> clocks;
    Populate(bills, clocks, count);
    for (auto _ : state) {
        MoveFiredClocks(clocks, 300, 1.0 / 60.0);
        MoveFiredClocks(clocks, 300, -1.0 / 60.0);
    }
    state.SetComplexityN(count);
}
BENCHMARK(MoveFiredClocksOnly)->Arg(10)->Arg(100)->Arg(1000)->Complexity(benchmark::oN);

// The scene's whole per-frame logic: input, spawning, entities, texts and ramp.
void SceneUpdate(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    auto owned = std::make_unique<MainGameScene>();
    MainGameScene& scene = *owned;
    ChangeScene(std::move(owned));
    if (g_quit) {
        state.SkipWithError("content did not load; run from the build folder");
        return;
    }
    scene.Bills().List().clear();
    Populate(scene.Bills().List(), scene.FiredClocks(), count);
    GameFrame frame;
    frame.recoilSeconds = 1.0f / 60.0f;
    int x = 0;
    for (auto _ : state) {
        frame.mouseX = x = (x + 7) % 800;
        frame.billSeconds = 1.0 / 600.0; // under a pixel: the bills stay where they are
        scene.Advance(frame);
    }
    state.counters["bills"] = static_cast<double>(scene.Bills().List().size());
    state.counters["clocks"] = static_cast<double>(scene.FiredClocks().size());
    state.SetComplexityN(count);
    g_currentScene.reset();
    g_content.UnloadAll();
}
BENCHMARK(SceneUpdate)->Arg(10)->Arg(20)->Arg(100)->Arg(1000)->Complexity();

} // namespace

BENCHMARK_MAIN();
