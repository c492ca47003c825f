#pragma once
// Pixels straight into a window on an X11 server, past Qt's backing store.
//
// Qt sends a repaint without shared memory in two steps: PutImage into a server-side copy of the
// window, then CopyArea from that copy to the window under a clip list, with the clip set and
// reset around it. For the few small rectangles the hands change each second one PutImage each,
// straight to the window, is all the server needs; it also skips Qt's repaint machinery (update
// request, paint event, painter set-up) which costs more than the pixels themselves.
//
// What goes this way bypasses Qt's copy: the window must have Qt repaint those places itself
// whenever the server asks for them again (an expose), see FrmVakto.

#include <QRect>
#include <QtGlobal>
#include <memory>

class QWindow;
struct xcb_connection_t;

class X11Output {
public:
    // For a created window of the X11 platform whose server keeps its pixels as 32-bit words in
    // this machine's byte order (the layout of QImage::Format_RGB32), at a device pixel ratio of 1;
    // null anywhere else (Wayland, other depths, scaled windows). Asks the server once for the
    // window's depth.
    static std::unique_ptr<X11Output> create(QWindow* window);
    ~X11Output();
    X11Output(const X11Output&) = delete;
    X11Output& operator=(const X11Output&) = delete;

    // `r` in window pixels; `pixels` holds r.width() * r.height() words, row after row. Split into
    // several requests when it would exceed the server's request size.
    void put(const QRect& r, const quint32* pixels);
    // Hands what was put to the server.
    void flush();
    // The X window this output draws into.
    quint32 window() const { return m_window; }

private:
    X11Output(xcb_connection_t* c, quint32 window, quint8 depth, quint32 maxRequestBytes);
    // A segment shared with the server, when it offers one (a local server with MIT-SHM 1.2).
    void attachShared(quint32 frameBytes);
    bool putShared(const QRect& r, const quint32* pixels);

    xcb_connection_t* m_c;
    quint32 m_window;
    quint32 m_gc;
    quint8 m_depth;
    quint32 m_maxRequestBytes;
    // The shared segment: a ring of frames, one per flush; see putShared.
    quint32 m_seg = 0;
    quint8* m_base = nullptr;
    quint32 m_frameBytes = 0;
    quint32 m_frame = 0;
    quint32 m_used = 0;
    qint64 m_flushedMs[4] = {};
};
