// The paint of each scene the player sees (the title, the busiest play frame, game over)
// against a bare clear of colour and depth of the whole 640 x 480 area, in one run so all
// meet the same machine load. The bare clear fills every pixel, as every frame did before
// clears learnt to skip what the last frame left untouched; the scenes pay only for what
// they draw. The busiest paint was held under 4 times that clear while the clear was a
// plain store loop; the clear now writes eight values at a time and is about 4 times
// faster, so across versions compare the paints' own times.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cstdint>
#include <vector>

#include "platform/DepthBuffer.h"
#include "platform/Surface.h"
#include "render/Display.h"
#include "tests/devices/RealOverlays.h"
#include "tools/scene/BusyScene.h"

namespace {

QGuiApplication& Application()
{
    static int argc = 1;
    static char name[] = "paint_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    return application;
}

void BM_BareClearColourAndDepth(benchmark::State& state)
{
    CSurface colour(640, 480);
    CDepthBuffer depth(640, 480);
    for (auto _ : state) {
        // Whole-area fills with a value other than the last one's: nothing can be skipped.
        colour.FillRect({0, 0, 640, 480}, colour.Pixel(0, 0) ^ 1u);
        depth.FillRect(0, 0, 640, 480, depth.Depth(0, 0) == 1.0f ? 0.5f : 1.0f);
        benchmark::DoNotOptimize(colour.Pixel(320, 240));
    }
}
BENCHMARK(BM_BareClearColourAndDepth)->Unit(benchmark::kMicrosecond);

// In the game 16 ms pass between two paints, and on a shared machine the buffers are gone
// from every cache by then: each pass over a line the last frame drew misses, and so does
// the walk of its page. With cold set, a sweep bigger than any last-level cache between two
// paints shows that cost, about twice the warm paint; warm figures show the paint's own work.
void PaintScene(benchmark::State& state, CBusyScene::Scene scene, int32_t scale = 1, bool cold = false)
{
    Application();
    CRealOverlays overlays;
    CBusyScene busy(overlays.Devices(), scene, scale);
    std::vector<uint8_t> elsewhere(cold ? size_t(64) << 20 : 0);
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            for (size_t i = 0; i < elsewhere.size(); i += 64) elsewhere[i] += 1;
            benchmark::ClobberMemory();
            state.ResumeTiming();
        }
        busy.Paint();
        benchmark::DoNotOptimize(static_cast<const CSurface*>(busy.Display().m_pddsBack)->Pixel(320, 240));
    }
}

void BM_PaintTitle(benchmark::State& state) { PaintScene(state, CBusyScene::Scene::Title); }
void BM_PaintBusiestFrame(benchmark::State& state) { PaintScene(state, CBusyScene::Scene::Play); }
void BM_PaintGameOver(benchmark::State& state) { PaintScene(state, CBusyScene::Scene::GameOver); }
BENCHMARK(BM_PaintTitle)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintBusiestFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintGameOver)->Unit(benchmark::kMicrosecond);

void BM_PaintTitleCold(benchmark::State& state) { PaintScene(state, CBusyScene::Scene::Title, 1, true); }
void BM_PaintBusiestFrameCold(benchmark::State& state) { PaintScene(state, CBusyScene::Scene::Play, 1, true); }
// A fixed count: each sweep takes longer than the paint it precedes.
BENCHMARK(BM_PaintTitleCold)->Unit(benchmark::kMicrosecond)->Iterations(300);
BENCHMARK(BM_PaintBusiestFrameCold)->Unit(benchmark::kMicrosecond)->Iterations(300);

// The same at twice the resolution, as on a desktop scaled 2x: four times the pixels.
void BM_PaintTitle2x(benchmark::State& state) { PaintScene(state, CBusyScene::Scene::Title, 2); }
void BM_PaintBusiestFrame2x(benchmark::State& state) { PaintScene(state, CBusyScene::Scene::Play, 2); }
BENCHMARK(BM_PaintTitle2x)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintBusiestFrame2x)->Unit(benchmark::kMicrosecond);

// The busiest frame presented as on Qt's path (Wayland, offscreen, X11 without shared
// memory), whose present first makes every pixel opaque: that pass must cost one pass over
// the pixels, and leave the next clear to skip what nothing drew.
void PaintAndPresentOnQtsPath(benchmark::State& state, int32_t scale)
{
    Application();
    CRealOverlays overlays;
    CBusyScene busy(overlays.Devices(), CBusyScene::Scene::Play, scale);
    CDisplay& display = busy.Display();
    for (auto _ : state) {
        busy.Paint();
        RECT source{0, 0, display.m_nWidth, display.m_nHeight}, dest = source;
        display.Present(display.m_pddsBack, &source, &dest);
    }
}
void BM_PresentBusiestFrameOnQtsPath(benchmark::State& state) { PaintAndPresentOnQtsPath(state, 1); }
void BM_PresentBusiestFrameOnQtsPath2x(benchmark::State& state) { PaintAndPresentOnQtsPath(state, 2); }
BENCHMARK(BM_PresentBusiestFrameOnQtsPath)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PresentBusiestFrameOnQtsPath2x)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
