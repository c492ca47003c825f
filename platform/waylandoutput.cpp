#include "platform/waylandoutput.h"

#include <QGuiApplication>
#include <QWindow>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <qpa/qplatformnativeinterface.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace {
const wl_buffer_listener BufferListener = {&WaylandOutput::onRelease};
const wl_registry_listener RegistryListener = {&WaylandOutput::onGlobal, &WaylandOutput::onGlobalRemove};

QPlatformNativeInterface* Native() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"))
               ? QGuiApplication::platformNativeInterface()
               : nullptr;
}

wl_surface* SurfaceOf(QWindow* window) {
    QPlatformNativeInterface* native = Native();
    return native && window->handle()
               ? static_cast<wl_surface*>(native->nativeResourceForWindow(QByteArrayLiteral("surface"), window))
               : nullptr;
}
} // namespace

std::unique_ptr<WaylandOutput> WaylandOutput::create(QWindow* window, const QRect& area) {
    if (!window || !window->handle() || window->devicePixelRatio() != 1.0 || area.isEmpty()) return nullptr;
    QPlatformNativeInterface* native = Native();
    if (!native) return nullptr;
    auto* display = static_cast<wl_display*>(native->nativeResourceForIntegration(QByteArrayLiteral("wl_display")));
    wl_surface* parent = SurfaceOf(window);
    if (!display || !parent) return nullptr;
    std::unique_ptr<WaylandOutput> out(new WaylandOutput(display, parent, area));
    if (!out->setUp()) return nullptr;
    return out;
}

WaylandOutput::WaylandOutput(wl_display* display, wl_surface* parent, const QRect& area)
    : m_display(display), m_parent(parent), m_area(area) {}

void WaylandOutput::onGlobal(void* data, wl_registry* registry, quint32 name, const char* interface, quint32 version) {
    auto* self = static_cast<WaylandOutput*>(data);
    if (std::strcmp(interface, wl_compositor_interface.name) == 0 && !self->m_compositor) {
        // Version 4 has damage_buffer; 1 to 3 damage in surface pixels, the same at a scale of 1.
        self->m_compositorVersion = std::min<quint32>(version, 4);
        self->m_compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, self->m_compositorVersion));
    } else if (std::strcmp(interface, wl_subcompositor_interface.name) == 0 && !self->m_subcompositor) {
        self->m_subcompositor =
            static_cast<wl_subcompositor*>(wl_registry_bind(registry, name, &wl_subcompositor_interface, 1));
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0 && !self->m_shm) {
        self->m_shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    }
}

void WaylandOutput::onGlobalRemove(void*, wl_registry*, quint32) {}

void WaylandOutput::onRelease(void* data, wl_buffer*) {
    static_cast<Buffer*>(data)->busy = false;
}

bool WaylandOutput::setUp() {
    // Everything of this output lives on its own queue, so Qt's threads read its events but never
    // dispatch them, and nothing of it wakes the main thread: flush() looks at them.
    m_queue = wl_display_create_queue(m_display);
    auto* wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(m_display));
    if (!m_queue || !wrapper) return false;
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), m_queue);
    m_registry = wl_display_get_registry(wrapper);
    wl_proxy_wrapper_destroy(wrapper);
    wl_registry_add_listener(m_registry, &RegistryListener, this);
    if (wl_display_roundtrip_queue(m_display, m_queue) < 0) return false;
    if (!m_compositor || !m_subcompositor || !m_shm) return false;

    const int w = m_area.width();
    const int h = m_area.height();
    const std::size_t one = std::size_t(w) * std::size_t(h) * 4;
    m_memorySize = one * std::size(m_buffers);
    const int fd = ::memfd_create("vakto-output", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0) return false;
    // Sealed against shrinking: the compositor reads this memory and must never fault on it.
    const bool sized = ::ftruncate(fd, off_t(m_memorySize)) == 0 && ::fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK) == 0;
    void* memory = sized ? ::mmap(nullptr, m_memorySize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0) : MAP_FAILED;
    if (memory == MAP_FAILED) {
        ::close(fd);
        return false;
    }
    m_memory = memory;
    m_pool = wl_shm_create_pool(m_shm, fd, int(m_memorySize));
    ::close(fd); // the compositor holds its own descriptor now
    for (std::size_t i = 0; i < std::size(m_buffers); ++i) {
        Buffer& b = m_buffers[i];
        b.buffer = wl_shm_pool_create_buffer(m_pool, int(one * i), w, h, w * 4, WL_SHM_FORMAT_XRGB8888);
        b.pixels = reinterpret_cast<quint32*>(static_cast<char*>(m_memory) + one * i);
        b.stale = QRect(0, 0, w, h);
        wl_buffer_add_listener(b.buffer, &BufferListener, &b);
    }
    m_master.assign(std::size_t(w) * std::size_t(h), 0);
    m_pending = QRect(0, 0, w, h);

    m_surface = wl_compositor_create_surface(m_compositor);
    m_subsurface = wl_subcompositor_get_subsurface(m_subcompositor, m_surface, m_parent);
    wl_subsurface_set_position(m_subsurface, m_area.x(), m_area.y());
    // Its commits show at once, without waiting for one of Qt's surface.
    wl_subsurface_set_desync(m_subsurface);
    // Pointer events fall through to Qt's surface below, which handles them all.
    wl_region* none = wl_compositor_create_region(m_compositor);
    wl_surface_set_input_region(m_surface, none);
    wl_region_destroy(none);
    wl_region* all = wl_compositor_create_region(m_compositor);
    wl_region_add(all, 0, 0, w, h);
    wl_surface_set_opaque_region(m_surface, all);
    wl_region_destroy(all);
    // The sub-surface's place and stacking are state of the parent: they take effect with its next
    // commit. Qt keeps nothing pending on its surface between its own commits.
    wl_surface_commit(m_parent);
    return wl_display_flush(m_display) >= 0 || errno == EAGAIN;
}

WaylandOutput::~WaylandOutput() {
    for (Buffer& b : m_buffers)
        if (b.buffer) wl_buffer_destroy(b.buffer);
    if (m_pool) wl_shm_pool_destroy(m_pool);
    if (m_subsurface) wl_subsurface_destroy(m_subsurface);
    if (m_surface) wl_surface_destroy(m_surface);
    if (m_shm) wl_shm_destroy(m_shm);
    if (m_subcompositor) wl_subcompositor_destroy(m_subcompositor);
    if (m_compositor) wl_compositor_destroy(m_compositor);
    if (m_registry) wl_registry_destroy(m_registry);
    wl_display_flush(m_display);
    if (m_queue) wl_event_queue_destroy(m_queue);
    if (m_memory) ::munmap(m_memory, m_memorySize);
}

bool WaylandOutput::sitsOn(QWindow* window) const {
    return window && window->isVisible() && SurfaceOf(window) == m_parent;
}

void WaylandOutput::put(const QRect& r, const quint32* pixels) {
    const QRect part = r.intersected(m_area);
    if (part.isEmpty()) return;
    const int w = m_area.width();
    for (int y = part.top(); y <= part.bottom(); ++y) {
        const quint32* src = pixels + std::ptrdiff_t(y - r.top()) * r.width() + (part.left() - r.left());
        quint32* dst = m_master.data() + std::ptrdiff_t(y - m_area.top()) * w + (part.left() - m_area.left());
        std::memcpy(dst, src, std::size_t(part.width()) * 4);
    }
    m_pending |= part.translated(-m_area.topLeft());
}

WaylandOutput::Buffer* WaylandOutput::freeBuffer() {
    // The one shown last, where the compositor has already let it go (it copies buffers), needs
    // only this flush's pixels.
    if (m_shown && !m_shown->busy) return m_shown;
    for (Buffer& b : m_buffers)
        if (!b.busy) return &b;
    return nullptr;
}

void WaylandOutput::flush() {
    if (m_pending.isEmpty()) return;
    // The releases Qt's threads have read since the last flush; never blocks.
    wl_display_dispatch_queue_pending(m_display, m_queue);
    Buffer* b = freeBuffer();
    if (!b) return; // all held: the pixels wait for the next flush
    const int w = m_area.width();
    for (const QRect& r : b->stale | m_pending)
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::memcpy(b->pixels + std::ptrdiff_t(y) * w + r.left(),
                        m_master.data() + std::ptrdiff_t(y) * w + r.left(), std::size_t(r.width()) * 4);
    for (Buffer& other : m_buffers)
        if (&other != b) other.stale |= m_pending;
    b->stale = QRegion();
    wl_surface_attach(m_surface, b->buffer, 0, 0);
    // What changed against the buffer shown before, which held the picture before these puts.
    for (const QRect& r : m_pending) {
        if (m_compositorVersion >= 4)
            wl_surface_damage_buffer(m_surface, r.x(), r.y(), r.width(), r.height());
        else
            wl_surface_damage(m_surface, r.x(), r.y(), r.width(), r.height());
    }
    wl_surface_commit(m_surface);
    b->busy = true;
    m_shown = b;
    m_pending = QRegion();
    wl_display_flush(m_display);
}
