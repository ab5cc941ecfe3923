// Key to pixels: how long from a key going down (sent through XTEST, as a real keyboard's
// would arrive) until the game's window shows its effect. The game must be in play; the
// ship is found by its purple, and each press of Left or Right (alternating, so the ship
// stays in the middle) is timed until the ship's centre on screen moves. Presses while the
// ship is not shown (destroyed, blinking) are not counted.
// Usage: key_latency WINDOW [PRESSES]   (WINDOW: the game's X window id, as xdotool prints)
// With KEY_LATENCY_VERBOSE set, each press is printed as it is timed.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Grabber {
    Display* display;
    Window window;
    XImage* image = nullptr;
    XShmSegmentInfo info{};
    int x = 0, y = 0, width = 0, height = 0;
};

// The ship's purple: strong red and blue over weak green. Nothing else in play has it.
bool Purple(unsigned long p)
{
    const int r = int(p >> 16 & 0xFF), g = int(p >> 8 & 0xFF), b = int(p & 0xFF);
    return r > 100 && b > 100 && g * 4 < std::min(r, b) * 3;
}

// Centre of the purple pixels in the grabbed area and their count.
double ShipCentre(Grabber& grab, int* count)
{
    XShmGetImage(grab.display, grab.window, grab.image, grab.x, grab.y, AllPlanes);
    double sum = 0;
    *count = 0;
    for (int y = 0; y < grab.height; ++y)
        for (int x = 0; x < grab.width; ++x)
            if (Purple(XGetPixel(grab.image, x, y))) sum += x, ++*count;
    return *count > 0 ? sum / *count : 0;
}

// The ship's box in the window, widened to where it can go during one press.
bool FindShip(Display* display, Window window, Grabber& grab)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return false;
    XImage* const whole = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (whole == nullptr) return false;
    int left = attributes.width, right = -1, top = attributes.height, bottom = -1;
    for (int y = attributes.height / 2; y < attributes.height; ++y)
        for (int x = 0; x < attributes.width; ++x)
            if (Purple(XGetPixel(whole, x, y)))
                left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
    XDestroyImage(whole);
    if (right < 0) return false;
    grab.x = std::max(0, left - 80);
    grab.y = std::max(0, top - 30);
    grab.width = std::min(attributes.width, right + 81) - grab.x;
    grab.height = std::min(attributes.height, bottom + 31) - grab.y;
    grab.image = XShmCreateImage(display, attributes.visual, unsigned(attributes.depth), ZPixmap, nullptr, &grab.info,
                                 unsigned(grab.width), unsigned(grab.height));
    grab.info.shmid = shmget(IPC_PRIVATE, size_t(grab.image->bytes_per_line) * grab.height, IPC_CREAT | 0600);
    grab.info.shmaddr = grab.image->data = static_cast<char*>(shmat(grab.info.shmid, nullptr, 0));
    grab.info.readOnly = False;
    XShmAttach(display, &grab.info);
    XSync(display, False);
    shmctl(grab.info.shmid, IPC_RMID, nullptr);
    return true;
}

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5))];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: key_latency WINDOW [PRESSES]\n");
        return 2;
    }
    const Window window = std::strtoul(argv[1], nullptr, 0);
    const int presses = argc > 2 ? std::atoi(argv[2]) : 50;
    Display* const display = XOpenDisplay(nullptr);
    int event, error, major, minor;
    if (display == nullptr || !XTestQueryExtension(display, &event, &error, &major, &minor) || !XShmQueryExtension(display)) {
        std::fprintf(stderr, "key_latency: needs an X server with XTEST and MIT-SHM\n");
        return 1;
    }
    Grabber grab{display, window};
    if (!FindShip(display, window, grab)) {
        std::fprintf(stderr, "key_latency: no ship in the window (is the game in play?)\n");
        return 1;
    }
    const KeyCode keys[2] = {XKeysymToKeycode(display, XK_Left), XKeysymToKeycode(display, XK_Right)};
    std::mt19937 random(13);
    std::vector<double> latencies;
    int missed = 0;
    for (int attempt = 0; int(latencies.size()) < presses && attempt < presses * 3; ++attempt) {
        int count = 0;
        const double before = ShipCentre(grab, &count);
        if (count < 20) {  // not shown now
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            continue;
        }
        const KeyCode key = keys[attempt % 2];
        const Clock::time_point down = Clock::now();
        XTestFakeKeyEvent(display, key, True, CurrentTime);
        XFlush(display);
        double ms = -1;
        while (Clock::now() - down < std::chrono::milliseconds(500)) {
            const double now = ShipCentre(grab, &count);
            if (count >= 20 && std::abs(now - before) >= 1.0) {
                ms = std::chrono::duration<double, std::milli>(Clock::now() - down).count();
                break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        std::this_thread::sleep_until(down + std::chrono::milliseconds(80));
        XTestFakeKeyEvent(display, key, False, CurrentTime);
        XSync(display, False);
        if (std::getenv("KEY_LATENCY_VERBOSE")) std::fprintf(stderr, "press %d: before %.1f (%d px): %.1f ms\n", attempt, before, count, ms);
        if (ms >= 0)
            latencies.push_back(ms);
        else
            ++missed;
        // Presses land at every phase of the game's 16 ms tick.
        std::this_thread::sleep_for(std::chrono::milliseconds(100 + random() % 100));
    }
    if (latencies.empty()) {
        std::fprintf(stderr, "key_latency: the ship never moved\n");
        return 1;
    }
    std::printf("key to pixels over %zu presses: median %.1f ms, p95 %.1f ms, min %.1f ms, max %.1f ms (%d without a move)\n",
                latencies.size(), Percentile(latencies, 0.5), Percentile(latencies, 0.95),
                *std::min_element(latencies.begin(), latencies.end()),
                *std::max_element(latencies.begin(), latencies.end()), missed);
    return 0;
}
