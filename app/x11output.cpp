#include "app/x11output.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

namespace {
constexpr quint32 Frames = 4; // frames in the shared ring

// True when the window's visual stores red, green and blue in bits 16-23, 8-15 and 0-7 of a pixel.
bool RgbVisual(const xcb_setup_t* setup, xcb_visualid_t visual) {
    for (auto s = xcb_setup_roots_iterator(setup); s.rem; xcb_screen_next(&s))
        for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem; xcb_depth_next(&d))
            for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
                if (v.data->visual_id == visual)
                    return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR && v.data->red_mask == 0xFF0000u &&
                           v.data->green_mask == 0xFF00u && v.data->blue_mask == 0xFFu;
    return false;
}

// True when the server takes pixels of `depth` as 32-bit words, rows padded to 32 bits.
bool Words(const xcb_setup_t* setup, quint8 depth) {
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == depth) return f.data->bits_per_pixel == 32 && f.data->scanline_pad == 32;
    return false;
}
} // namespace

std::unique_ptr<X11Output> X11Output::create(QWindow* window) {
    if (!window || !window->handle() || window->devicePixelRatio() != 1.0) return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c || xcb_connection_has_error(c)) return nullptr;
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (Q_BYTE_ORDER != Q_LITTLE_ENDIAN || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return nullptr;

    const auto id = xcb_window_t(window->winId());
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr);
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, id), nullptr);
    const bool usable = geometry && attributes && (geometry->depth == 24 || geometry->depth == 32) &&
                        Words(setup, geometry->depth) && RgbVisual(setup, attributes->visual);
    const quint8 depth = geometry ? geometry->depth : 0;
    std::free(geometry);
    std::free(attributes);
    if (!usable) return nullptr;
    // In 4-byte units; BIG-REQUESTS, where the server has it, raises the limit.
    const quint32 maxBytes = xcb_get_maximum_request_length(c) * 4u;
    std::unique_ptr<X11Output> out(new X11Output(c, id, depth, maxBytes));
    if (!qEnvironmentVariableIsSet("VAKTO_NO_SHM"))
        out->attachShared(quint32(window->width()) * quint32(window->height()) * 4u);
    return out;
}

void X11Output::attachShared(quint32 frameBytes) {
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(m_c, &xcb_shm_id);
    if (!ext || !ext->present) return;
    xcb_shm_query_version_reply_t* v = xcb_shm_query_version_reply(m_c, xcb_shm_query_version(m_c), nullptr);
    const bool fds = v && (v->major_version > 1 || (v->major_version == 1 && v->minor_version >= 2));
    std::free(v);
    if (!fds) return;
    const int fd = ::memfd_create("vakto-x11", MFD_CLOEXEC);
    if (fd < 0) return;
    const std::size_t size = std::size_t(frameBytes) * Frames;
    void* base = ::ftruncate(fd, off_t(size)) == 0 ? ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0)
                                                   : MAP_FAILED;
    if (base == MAP_FAILED) {
        ::close(fd);
        return;
    }
    const quint32 seg = xcb_generate_id(m_c);
    // The server gets the descriptor (xcb closes ours once sent); read-only: it only reads pixels.
    xcb_generic_error_t* err = xcb_request_check(m_c, xcb_shm_attach_fd_checked(m_c, seg, fd, 1));
    if (err) {
        std::free(err);
        ::munmap(base, size);
        return;
    }
    m_seg = seg;
    m_base = static_cast<quint8*>(base);
    m_frameBytes = frameBytes;
}

X11Output::X11Output(xcb_connection_t* c, quint32 window, quint8 depth, quint32 maxRequestBytes)
    : m_c(c), m_window(window), m_gc(xcb_generate_id(c)), m_depth(depth), m_maxRequestBytes(maxRequestBytes) {
    // A plain context: copy, all planes, no clip; exposures are Qt's business, not this one's.
    const quint32 noExposures = 0;
    xcb_create_gc(m_c, m_gc, m_window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
}

X11Output::~X11Output() {
    if (!xcb_connection_has_error(m_c)) {
        if (m_seg) xcb_shm_detach(m_c, m_seg);
        xcb_free_gc(m_c, m_gc);
    }
    if (m_base) ::munmap(m_base, std::size_t(m_frameBytes) * Frames);
}

bool X11Output::putShared(const QRect& r, const quint32* pixels) {
    const quint32 bytes = quint32(r.width()) * quint32(r.height()) * 4u;
    if (!m_seg || m_used + bytes > m_frameBytes) return false;
    if (m_used == 0) {
        // A frame is written again four flushes after it was sent: at the tick's pace four
        // seconds, long after the server took its pixels (it reads them as it handles the request,
        // and nothing tells us when: a completion event would wake the program once more a
        // frame). Flushes in quick succession (a burst of repaints) wait for the server instead.
        const qint64 now = QDeadlineTimer::current().deadline();
        if (now - m_flushedMs[m_frame] < 500)
            std::free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr)); // a round trip
    }
    const quint32 offset = m_frame * m_frameBytes + m_used;
    std::memcpy(m_base + offset, pixels, bytes);
    xcb_shm_put_image(m_c, m_window, m_gc, quint16(r.width()), quint16(r.height()), 0, 0, quint16(r.width()),
                      quint16(r.height()), qint16(r.x()), qint16(r.y()), m_depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, m_seg,
                      offset);
    m_used += bytes;
    return true;
}

void X11Output::put(const QRect& r, const quint32* pixels) {
    if (r.isEmpty() || putShared(r, pixels)) return;
    const auto rowBytes = quint32(r.width()) * 4u;
    const quint32 room = m_maxRequestBytes > sizeof(xcb_put_image_request_t)
                             ? m_maxRequestBytes - quint32(sizeof(xcb_put_image_request_t))
                             : 0;
    const int rowsPerPut = int(std::min<quint32>(room / rowBytes, quint32(r.height())));
    if (rowsPerPut < 1) return; // a row wider than a request: nothing this window ever sends
    for (int y = 0; y < r.height(); y += rowsPerPut) {
        const int rows = std::min(rowsPerPut, r.height() - y);
        xcb_put_image(m_c, XCB_IMAGE_FORMAT_Z_PIXMAP, m_window, m_gc, quint16(r.width()), quint16(rows), qint16(r.x()),
                      qint16(r.y() + y), 0, m_depth, rowBytes * quint32(rows),
                      reinterpret_cast<const quint8*>(pixels + std::ptrdiff_t(y) * r.width()));
    }
}

void X11Output::flush() {
    if (m_used) {
        m_flushedMs[m_frame] = QDeadlineTimer::current().deadline();
        m_frame = (m_frame + 1) % Frames;
        m_used = 0;
    }
    xcb_flush(m_c);
}
