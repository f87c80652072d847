// Measures how long a program takes from its start to its window being shown: starts it, waits
// until the X server maps a top-level window with the given title, prints the milliseconds and
// ends the program. Without a window manager, top-level windows are children of the root.
//
// Usage: map_wait TITLE PROGRAM [ARGS...]
//        map_wait --watch TITLE
// With --watch it starts nothing: it says "ready" on standard error once it listens, and prints
// the wall-clock time (nanoseconds since the epoch) at which a window with that title is mapped,
// such as the message box that ends a batch.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

bool TitleIs(Display* display, Window window, const char* title) {
    char* name = nullptr;
    const bool same =
        XFetchName(display, window, &name) != 0 && name != nullptr && std::strcmp(name, title) == 0;
    if (name != nullptr) {
        XFree(name);
    }
    return same;
}

}  // namespace

int Watch(Display* display, const char* title) {
    std::fprintf(stderr, "ready\n");
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && TitleIs(display, event.xmap.window, title)) {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            std::printf("%lld\n",
                        static_cast<long long>(
                            std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
            return 0;
        }
    }
}

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: map_wait TITLE PROGRAM [ARGS...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    if (std::strcmp(argv[1], "--watch") == 0) {
        const int result = Watch(display, argv[2]);
        XCloseDisplay(display);
        return result;
    }

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    int result = 1;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && TitleIs(display, event.xmap.window, argv[1])) {
            const auto elapsed = std::chrono::steady_clock::now() - start;
            std::printf("%.2f\n", std::chrono::duration<double, std::milli>(elapsed).count());
            result = 0;
            break;
        }
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XCloseDisplay(display);
    return result;
}
