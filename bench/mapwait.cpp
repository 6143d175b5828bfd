// mapwait PROGRAM [ARGUMENT...]
//
// Starts PROGRAM on the X display in DISPLAY and waits until it maps its first top-level window,
// then until that window's first frame is drawn. Prints one line: the milliseconds from just
// before the fork to the map, the program's resident memory (VmRSS, KiB) a moment after it has
// painted, and the milliseconds to the first drawn frame. Then ends the program.
//
// The two ends differ in what they count: a program that lays out text before it shows its window
// (any window with a line edit does) builds its font database before the map, where one that
// lays out text only when it paints builds it after. The first drawn frame, what a user sees,
// counts it for both.
//
// The map is seen through substructure events on the root window, which the X server sends as it
// maps the window, so the figure does not depend on the program's own idea of when it is shown.
// Without a window manager a top-level window is mapped at once, as the program asks.
#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// How long the program may take to show a window before the run counts as failed.
constexpr int TimeoutMs = 30000;
// How long after the map the memory is read: time to handle the first expose and paint.
constexpr int SettleMs = 300;

double monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = -1;
            status >> kib;
            return kib;
        }
        status.ignore(4096, '\n');
    }
    return -1;
}

void stop(pid_t pid)
{
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
}

// The colour of the pixel at (x, y) of an image in Z format, 32 bits a pixel; -1 outside it.
long colourIn(const xcb_get_image_reply_t* image, int width, int x, int y)
{
    const std::size_t offset = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4;
    if (image == nullptr || x < 0 || y < 0 || x >= width ||
        offset + 3 >= std::size_t(xcb_get_image_data_length(image)))
        return -1;
    const uint8_t* data = xcb_get_image_data(image) + offset;
    return long(data[0]) | long(data[1]) << 8 | long(data[2]) << 16;
}

using Image = std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)>;

Image imageOf(xcb_connection_t* connection, xcb_drawable_t drawable, int x, int y, int width,
              int height)
{
    return Image(xcb_get_image_reply(connection,
                                     xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable,
                                                   int16_t(x), int16_t(y), uint16_t(width),
                                                   uint16_t(height), ~0u),
                                     nullptr),
                 &std::free);
}

// The colour of one pixel near the window's top-left corner, or -1 when it cannot be read.
long pixelAt(xcb_connection_t* connection, xcb_window_t window)
{
    return colourIn(imageOf(connection, window, 1, 1, 1, 1).get(), 1, 0, 0);
}

// Waits until the window's first frame is drawn: until that pixel differs from the screen beneath
// the window before the program started, which a window shows until its program paints it. (A
// reading taken after the map would miss a frame drawn before it.) False on timeout.
bool waitForFirstFrame(xcb_connection_t* connection, xcb_window_t window, long before)
{
    const double deadline = monotonicMs() + TimeoutMs;
    while (monotonicMs() < deadline) {
        const long now = pixelAt(connection, window);
        if (now != before && now != -1)
            return true;
        usleep(200);
    }
    std::fprintf(stderr, "mapwait: the window was not drawn within %d ms\n", TimeoutMs);
    return false;
}

// Where the window's pixel of pixelAt() lies on the screen: its colour in `screen`, a picture of
// the whole root window taken before the program started.
long colourBeneath(xcb_connection_t* connection, xcb_window_t window, xcb_window_t root,
                   const xcb_get_image_reply_t* screen, int screenWidth)
{
    const std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> place(
        xcb_translate_coordinates_reply(
            connection, xcb_translate_coordinates(connection, window, root, 1, 1), nullptr),
        &std::free);
    return place == nullptr ? -1 : colourIn(screen, screenWidth, place->dst_x, place->dst_y);
}

// Waits for the map of a top-level window; false on timeout, a lost connection or the program's
// early end.
bool waitForMap(xcb_connection_t* connection, xcb_window_t root, pid_t pid, xcb_window_t* window)
{
    const double deadline = monotonicMs() + TimeoutMs;
    pollfd events{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (monotonicMs() < deadline) {
        while (xcb_generic_event_t* raw = xcb_poll_for_event(connection)) {
            const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(raw, &std::free);
            if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
                continue;
            const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event.get());
            if (map->event == root && !map->override_redirect) {
                *window = map->window;
                return true;
            }
        }
        if (xcb_connection_has_error(connection) != 0)
            return false;
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::fprintf(stderr, "mapwait: the program ended before showing a window\n");
            return false;
        }
        // Short polls, so that an early end of the program is noticed too.
        poll(&events, 1, 10);
    }
    std::fprintf(stderr, "mapwait: no window within %d ms\n", TimeoutMs);
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: mapwait PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    // A display that has just started may refuse a moment longer; the clock starts only later.
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    for (int attempt = 0; xcb_connection_has_error(connection) != 0 && attempt < 30; ++attempt) {
        xcb_disconnect(connection);
        usleep(100 * 1000);
        connection = xcb_connect(nullptr, nullptr);
    }
    if (const int error = xcb_connection_has_error(connection); error != 0) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "mapwait: cannot open the display %s (xcb error %d)\n",
                     display != nullptr ? display : "(DISPLAY not set)", error);
        return 1;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t root = screen->root;
    const Image beneath =
        imageOf(connection, root, 0, 0, screen->width_in_pixels, screen->height_in_pixels);
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    // A round trip, so the server has the event mask before the program can map anything.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));

    const double start = monotonicMs();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("mapwait: fork");
        return 1;
    }
    if (pid == 0) {
        // The child must not share the connection's socket with the parent.
        close(xcb_get_file_descriptor(connection));
        execv(argv[1], argv + 1);
        std::fprintf(stderr, "mapwait: cannot run %s: %s\n", argv[1], std::strerror(errno));
        _exit(127);
    }

    xcb_window_t window = 0;
    const bool mapped = waitForMap(connection, root, pid, &window);
    const double mappedAfter = monotonicMs() - start;
    if (!mapped) {
        stop(pid);
        return 1;
    }
    // Read after the map only where the screen's picture could not be had.
    long before = colourBeneath(connection, window, root, beneath.get(), screen->width_in_pixels);
    if (before == -1)
        before = pixelAt(connection, window);
    const bool drawn = waitForFirstFrame(connection, window, before);
    const double drawnAfter = monotonicMs() - start;
    usleep(SettleMs * 1000);
    const long kib = residentKiB(pid);
    stop(pid);
    xcb_disconnect(connection);
    if (!drawn)
        return 1;
    std::printf("%.3f %ld %.3f\n", mappedAfter, kib, drawnAfter);
    return 0;
}
