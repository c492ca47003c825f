#include "app/x11output.h"

#include <QGuiApplication>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {
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
    return std::unique_ptr<X11Output>(new X11Output(c, id, depth, maxBytes));
}

X11Output::X11Output(xcb_connection_t* c, quint32 window, quint8 depth, quint32 maxRequestBytes)
    : m_c(c), m_window(window), m_gc(xcb_generate_id(c)), m_depth(depth), m_maxRequestBytes(maxRequestBytes) {
    // A plain context: copy, all planes, no clip; exposures are Qt's business, not this one's.
    const quint32 noExposures = 0;
    xcb_create_gc(m_c, m_gc, m_window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
}

X11Output::~X11Output() {
    if (!xcb_connection_has_error(m_c)) xcb_free_gc(m_c, m_gc);
}

void X11Output::put(const QRect& r, const quint32* pixels) {
    if (r.isEmpty()) return;
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
    xcb_flush(m_c);
}
