// Watches pixels of an X screen and prints when each first shows its colour:
// how long the game takes to put a picture on the screen, seen from outside.
//
//   klotzar-screen-watch SECONDS X Y RRGGBB [X Y RRGGBB ...]
//
// Polls every pixel about once a millisecond. For each point, in the order
// they match, prints "match <index> <CLOCK_REALTIME nanoseconds>". Exits 0
// when all matched, 1 on timeout (printing "timeout <index> <last colour>"
// for each point still waiting), 2 on bad arguments or no display.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Point {
    int x = 0;
    int y = 0;
    unsigned long want = 0;
    unsigned long last = 0;
    bool matched = false;
};

long long nowNs(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// The pixel as 0xRRGGBB, from a 24- or 32-bit true-colour screen.
unsigned long readPixel(Display* display, Window root, int x, int y)
{
    XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return ~0ul;
    const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFFul;
    XDestroyImage(image);
    return pixel;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5 || (argc - 2) % 3 != 0) {
        std::fprintf(stderr, "usage: klotzar-screen-watch SECONDS X Y RRGGBB [X Y RRGGBB ...]\n");
        return 2;
    }
    const double seconds = std::atof(argv[1]);
    std::vector<Point> points;
    for (int i = 2; i + 2 < argc; i += 3) {
        Point p;
        p.x = std::atoi(argv[i]);
        p.y = std::atoi(argv[i + 1]);
        p.want = std::strtoul(argv[i + 2], nullptr, 16);
        points.push_back(p);
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "klotzar-screen-watch: no display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    const long long end = nowNs(CLOCK_MONOTONIC) + static_cast<long long>(seconds * 1e9);
    size_t left = points.size();
    while (left > 0 && nowNs(CLOCK_MONOTONIC) < end) {
        for (size_t i = 0; i < points.size(); ++i) {
            Point& p = points[i];
            if (p.matched) continue;
            p.last = readPixel(display, root, p.x, p.y);
            if (p.last == p.want) {
                p.matched = true;
                --left;
                std::printf("match %zu %lld\n", i, nowNs(CLOCK_REALTIME));
                std::fflush(stdout);
            }
        }
        const timespec pause{0, 1000000};
        nanosleep(&pause, nullptr);
    }
    for (size_t i = 0; i < points.size(); ++i) {
        if (!points[i].matched) std::printf("timeout %zu %06lx\n", i, points[i].last);
    }
    XCloseDisplay(display);
    return left == 0 ? 0 : 1;
}
