#include "app/instance.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// One request, one answer, each a line. Anything else on the socket is ignored.
const QByteArray ShowRequest = "show\n";
const QByteArray ShownAnswer = "shown\n";
// A client that has not sent its request in this time is dropped: it cannot hold a connection open.
constexpr int RequestTimeoutMs = 2000;
// Connections served at once; more wait in the listen backlog (and beyond it are refused) until
// one ends. A second start needs one.
constexpr int MaxServing = 8;
constexpr int Backlog = 16;
// After the process or the system ran out of descriptors or memory, accepting waits this long:
// retrying at once would spin on the pending connection that cannot be taken.
constexpr int PauseMs = 500;
} // namespace

bool AskToShow(const QString& name, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(int(deadline.remainingTime()))) return false;
    socket.write(ShowRequest);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime()))) return false;
    QByteArray answer;
    while (!answer.contains('\n') && answer.size() < 64) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime()))) return false;
        answer += socket.readAll();
    }
    return answer == ShownAnswer;
}

InstanceServer::InstanceServer(const QString& name, std::function<void()> onShow, QObject* parent)
    : QObject(parent), m_name(name), m_onShow(std::move(onShow)), m_pause(new QTimer(this)) {
    m_pause->setSingleShot(true);
    m_pause->setInterval(PauseMs);
    connect(m_pause, &QTimer::timeout, this, &InstanceServer::resume);
}

InstanceServer::~InstanceServer() {
    if (m_fd < 0) return;
    delete m_notifier;
    m_notifier = nullptr;
    ::close(m_fd);
    // Only this instance, holding the lock, listens at this name: nobody else's socket goes.
    ::unlink(QFile::encodeName(m_name).constData());
}

bool InstanceServer::fail(const char* what) {
    m_error =
        QStringLiteral("%1: %2: %3").arg(m_name, QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    return false;
}

bool InstanceServer::listen() {
    if (m_fd >= 0) return true;
    const QByteArray path = QFile::encodeName(m_name);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.isEmpty() || std::size_t(path.size()) >= sizeof addr.sun_path) {
        m_error = QStringLiteral("%1: the name does not fit a local socket").arg(m_name);
        return false;
    }
    std::memcpy(addr.sun_path, path.constData(), std::size_t(path.size()));
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_fd < 0) return fail("socket");
    // The caller holds the single-instance lock, so a socket left at this name belongs to an
    // instance that died: it goes.
    ::unlink(path.constData());
    if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) return fail("bind");
    // Nobody can connect before listen(), so narrowing the mode here leaves no gap (changing the
    // umask instead would race with the other threads' files).
    if (::chmod(path.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(m_fd, Backlog) != 0) {
        const int error = errno;
        ::unlink(path.constData());
        errno = error;
        return fail("listen");
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &InstanceServer::acceptPending);
    return true;
}

QString InstanceServer::errorString() const {
    return m_error;
}

void InstanceServer::acceptPending() {
    while (m_serving < MaxServing) {
        const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            serve(fd);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED) continue; // ECONNABORTED: the client gave up
        if (errno == EAGAIN || errno == EWOULDBLOCK) return;
        // EMFILE, ENFILE, ENOBUFS, ENOMEM or anything else: the connection stays pending and the
        // notifier would report it again at once. Wait, then try again; the socket stays.
        m_notifier->setEnabled(false);
        m_pause->start();
        return;
    }
    // Full: the rest wait in the backlog until a connection ends.
    m_notifier->setEnabled(false);
}

void InstanceServer::resume() {
    if (m_notifier && !m_pause->isActive() && m_serving < MaxServing) m_notifier->setEnabled(true);
}

void InstanceServer::serve(int fd) {
    auto* socket = new QLocalSocket(this);
    if (!socket->setSocketDescriptor(fd)) {
        ::close(fd);
        delete socket;
        return;
    }
    ++m_serving;
    connect(socket, &QObject::destroyed, this, [this] {
        --m_serving;
        resume();
    });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(RequestTimeoutMs, socket, [socket] {
        socket->abort();
        socket->deleteLater(); // also when it had gone without a disconnected()
    });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (!socket->canReadLine()) {
            if (socket->bytesAvailable() > 64) socket->abort();
            return;
        }
        const QByteArray request = socket->readLine(64);
        if (request == ShowRequest) {
            m_onShow();
            socket->write(ShownAnswer);
        }
        socket->disconnectFromServer();
    });
}
