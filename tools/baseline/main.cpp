// The smallest honest Qt window that ticks: a 137 x 137 picture redrawn and repainted once a second.
// Whatever it costs is the toolkit's price for a ticking window; the program is judged against it.

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cmath>

namespace {

constexpr int Side = 137;

class Baseline : public QWidget {
public:
    Baseline() : m_image(Side, Side, QImage::Format_ARGB32_Premultiplied) {
        setWindowTitle(QStringLiteral("Qt baseline"));
        setFixedSize(Side, Side);
        setAttribute(Qt::WA_OpaquePaintEvent);
        redraw();
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            ++m_seconds;
            redraw();
            update();
        });
        m_timer.start(1000);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, m_image);
    }

private:
    // A disc and one hand that moves each second, so every repaint really changes pixels.
    void redraw() {
        m_image.fill(QColor(27, 42, 68));
        QPainter p(&m_image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(40, 190, 230), 2));
        p.drawEllipse(QRectF(4, 4, Side - 8, Side - 8));
        const double a = m_seconds % 60 * (2 * M_PI / 60);
        const QPointF c(Side / 2.0, Side / 2.0);
        p.drawLine(c, c + QPointF(std::sin(a), -std::cos(a)) * (Side / 2.0 - 10));
    }

    QImage m_image;
    QTimer m_timer;
    int m_seconds = 0;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Baseline w;
    w.show();
    return app.exec();
}
