#pragma once
// Pixels straight to a Wayland compositor, past Qt's backing store.
//
// Qt commits its whole surface for every repaint: a new buffer with the damage, a frame callback
// (answered by the compositor a frame later, on a thread of Qt's own that then wakes the main
// thread), and a 100 ms timer that watches for the answer. For the few rectangles a tick changes
// that is three messages from the compositor and some fifteen thread wakeups a second. This output
// lays a sub-surface of its own over one fixed part of the window (the dial and the digits) and
// commits only it: its own shared-memory buffers, only the changed rectangles damaged, no frame
// callback, its events on a queue of its own that it looks at only when it commits again.
//
// The sub-surface hides what Qt paints below it: while it exists, every change inside area() must
// come through put(), and it takes no pointer input (the window below gets it all).

#include <QRect>
#include <QRegion>
#include <QtGlobal>
#include <memory>
#include <vector>

class QWindow;
struct wl_buffer;
struct wl_compositor;
struct wl_display;
struct wl_event_queue;
struct wl_registry;
struct wl_shm;
struct wl_shm_pool;
struct wl_subcompositor;
struct wl_subsurface;
struct wl_surface;

class WaylandOutput {
public:
    // For a shown window of the Wayland platform at a device pixel ratio of 1 whose compositor
    // offers sub-surfaces and 32-bit shared-memory buffers; `area` in window pixels. Null anywhere
    // else. Asks the compositor once (a round trip) for its globals.
    static std::unique_ptr<WaylandOutput> create(QWindow* window, const QRect& area);
    ~WaylandOutput();
    WaylandOutput(const WaylandOutput&) = delete;
    WaylandOutput& operator=(const WaylandOutput&) = delete;

    QRect area() const { return m_area; }
    // False once Qt has replaced or dropped the window's surface (it does on every hide): the
    // sub-surface then shows nothing and this output must be made anew.
    bool sitsOn(QWindow* window) const;
    // `r` in window pixels, inside area(); `pixels` holds r.width() * r.height() words (the layout
    // of QImage::Format_RGB32), row after row.
    void put(const QRect& r, const quint32* pixels);
    // Commits what was put since the last flush.
    void flush();

    // Listeners of libwayland (C callbacks).
    static void onRelease(void* data, wl_buffer* buffer);
    static void onGlobal(void* data, wl_registry* registry, quint32 name, const char* interface, quint32 version);
    static void onGlobalRemove(void* data, wl_registry* registry, quint32 name);

private:
    struct Buffer {
        wl_buffer* buffer = nullptr;
        quint32* pixels = nullptr;
        bool busy = false; // the compositor holds it: it may read it until it releases it
        QRegion stale;     // where it differs from m_master, in area pixels
    };
    WaylandOutput(wl_display* display, wl_surface* parent, const QRect& area);
    bool setUp();
    Buffer* freeBuffer();

    wl_display* m_display;
    wl_surface* m_parent;
    QRect m_area;
    wl_event_queue* m_queue = nullptr;
    wl_registry* m_registry = nullptr;
    wl_compositor* m_compositor = nullptr;
    quint32 m_compositorVersion = 0;
    wl_subcompositor* m_subcompositor = nullptr;
    wl_shm* m_shm = nullptr;
    wl_surface* m_surface = nullptr;
    wl_subsurface* m_subsurface = nullptr;
    wl_shm_pool* m_pool = nullptr;
    void* m_memory = nullptr;
    std::size_t m_memorySize = 0;
    // Two are enough where the compositor releases one buffer when it takes the next; a third
    // covers a compositor that is slow to release.
    Buffer m_buffers[3];
    Buffer* m_shown = nullptr;
    std::vector<quint32> m_master; // what the sub-surface is to show, area pixels row after row
    QRegion m_pending;             // put since the last flush, in area pixels
};
