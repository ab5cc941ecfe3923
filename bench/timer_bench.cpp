// How steady the game's heartbeat is: the real timer thread at the game's 16 ms period for
// 30 s (VANTOR_TIMER_SECONDS overrides), reported as counters: mean, p99 and max interval,
// intervals above 20 ms, and how far the last callback sits from the ideal grid.
// Goal: mean 16.000 ms, no drift, p99 at most 17 ms on an idle machine.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/posix/ThreadTimer.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Samples {
    std::vector<Clock::time_point> times;
    std::atomic<bool> full{false};
    size_t wanted = 0;
};

void Record(uint32_t, uint32_t, uintptr_t user, uintptr_t, uintptr_t)
{
    Samples* s = reinterpret_cast<Samples*>(user);
    if (s->times.size() < s->wanted) s->times.push_back(Clock::now());
    if (s->times.size() >= s->wanted) s->full = true;
}

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void BM_TimerIntervals(benchmark::State& state)
{
    const char* env = std::getenv("VANTOR_TIMER_SECONDS");
    const int seconds = env != nullptr ? std::max(1, std::atoi(env)) : 30;
    for (auto _ : state) {
        Samples s;
        s.wanted = static_cast<size_t>(seconds * 1000 / 16) + 1;
        s.times.reserve(s.wanted);
        CThreadTimer timer;
        const Clock::time_point start = Clock::now();
        const uint32_t id = timer.SetEvent(16, 1, Record, reinterpret_cast<uintptr_t>(&s));
        while (!s.full) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        timer.KillEvent(id);

        std::vector<double> gaps;
        for (size_t i = 1; i < s.times.size(); ++i) gaps.push_back(Ms(s.times[i] - s.times[i - 1]));
        std::vector<double> sorted = gaps;
        std::sort(sorted.begin(), sorted.end());
        const double mean = Ms(s.times.back() - s.times.front()) / double(gaps.size());
        const double ideal = 16.0 * double(s.times.size());
        state.counters["mean_ms"] = mean;
        state.counters["p99_ms"] = sorted[sorted.size() * 99 / 100];
        state.counters["max_ms"] = sorted.back();
        state.counters["over_20ms"] = double(std::count_if(gaps.begin(), gaps.end(), [](double g) { return g > 20.0; }));
        state.counters["drift_ms"] = Ms(s.times.back() - start) - ideal;
        state.counters["intervals"] = double(gaps.size());
    }
}

}  // namespace

BENCHMARK(BM_TimerIntervals)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_MAIN();
