// Start-up as a person sees it, from outside the process: forks and execs a program,
// then watches the X server for its top-level window being mapped and for the colour
// of one pixel of that window turning into the expected one (the first frame on screen).
//   bench_onscreen <x> <y> <rrggbb> <tolerance> <program> [args...]
// Prints "mapped_us <n>", "shown_us <n>" (both from the fork), "vmhwm_kb <n>" (the
// program's peak memory when its frame showed) and "cpu_us <n>" (the processor time all
// its threads had used by then; unlike the wall-clock figures it hardly depends on what
// else the machine is running), then kills the program.
#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

long long NowUs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000 + ts.tv_nsec / 1000;
}

long long PeakKb(pid_t pid)
{
    FILE *f = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
    if (!f)
        return -1;
    char line[256];
    long long kb = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmHWM: %lld", &kb) == 1)
            break;
    std::fclose(f);
    return kb;
}

// Polling the pixel costs the X server a round trip each; this interval keeps the load
// small next to the program's own start-up while still resolving a fraction of a frame.
constexpr useconds_t kPollUs = 250;
constexpr long long kTimeoutUs = 20 * 1000 * 1000;

} // namespace

int main(int argc, char **argv)
{
    if (argc < 6) {
        std::fputs("usage: bench_onscreen <x> <y> <rrggbb> <tolerance> <program> [args...]\n", stderr);
        return 2;
    }
    const int px = std::atoi(argv[1]), py = std::atoi(argv[2]);
    const unsigned long want = std::strtoul(argv[3], nullptr, 16);
    const int tolerance = std::atoi(argv[4]);
    const int wantR = int(want >> 16) & 0xFF, wantG = int(want >> 8) & 0xFF, wantB = int(want) & 0xFF;

    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fputs("bench_onscreen: cannot connect to the display\n", stderr);
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    // Checked, so that the mask is in force before the program starts.
    if (xcb_generic_error_t *e = xcb_request_check(c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask))) {
        std::fprintf(stderr, "bench_onscreen: cannot watch the root window (error %d)\n", e->error_code);
        return 2;
    }

    const long long t0 = NowUs();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return 2;
    }
    if (pid == 0) {
        execv(argv[5], argv + 5);
        std::perror("bench_onscreen: exec");
        _exit(127);
    }

    int rc = 1;
    long long mapped = -1, shown = -1, peak = -1;
    xcb_window_t window = XCB_NONE;
    while (window == XCB_NONE && NowUs() - t0 < kTimeoutUs) {
        pollfd pfd{xcb_get_file_descriptor(c), POLLIN, 0};
        poll(&pfd, 1, 100);
        while (xcb_generic_event_t *ev = xcb_poll_for_event(c)) {
            if ((ev->response_type & 0x7F) == XCB_MAP_NOTIFY) {
                const auto *m = reinterpret_cast<xcb_map_notify_event_t *>(ev);
                if (m->event == root && !m->override_redirect && window == XCB_NONE) {
                    mapped = NowUs() - t0;
                    window = m->window;
                }
            }
            std::free(ev);
        }
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            std::fputs("bench_onscreen: the program ended before mapping a window\n", stderr);
            return 1;
        }
    }
    while (window != XCB_NONE && NowUs() - t0 < kTimeoutUs) {
        xcb_get_image_cookie_t ck = xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, int16_t(px), int16_t(py), 1, 1, ~0u);
        xcb_generic_error_t *err = nullptr;
        xcb_get_image_reply_t *r = xcb_get_image_reply(c, ck, &err);
        const long long now = NowUs();
        bool match = false;
        if (r && xcb_get_image_data_length(r) >= 4) {
            // 24- and 32-bit visuals come as B, G, R, X bytes.
            const uint8_t *d = xcb_get_image_data(r);
            match = std::abs(d[2] - wantR) <= tolerance && std::abs(d[1] - wantG) <= tolerance
                    && std::abs(d[0] - wantB) <= tolerance;
        }
        std::free(r);
        std::free(err);
        if (match) {
            shown = now - t0;
            // Stopped at once, so the processor time is that of the start-up alone.
            kill(pid, SIGSTOP);
            peak = PeakKb(pid);
            rc = 0;
            break;
        }
        usleep(kPollUs);
    }
    // Discard the events the loop left queued (the unmap, the destroy).
    while (xcb_generic_event_t *ev = xcb_poll_for_event(c))
        std::free(ev);
    kill(pid, SIGKILL);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    // The kernel splits the exact run time between user and system time, so the sum is exact.
    const long long cpu = (long long)(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000
                          + usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
    xcb_disconnect(c);
    if (rc != 0) {
        std::fputs(window == XCB_NONE ? "bench_onscreen: no window mapped\n"
                                      : "bench_onscreen: the colour never showed\n", stderr);
        return rc;
    }
    std::printf("mapped_us %lld\nshown_us %lld\nvmhwm_kb %lld\ncpu_us %lld\n", mapped, shown, peak, cpu);
    return 0;
}
