#include "app/instance.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace {
// One request, one answer, each a line. Anything else on the socket is ignored.
const QByteArray ShowRequest = "show\n";
const QByteArray ShownAnswer = "shown\n";
// A client that has not sent its request in this time is dropped: it cannot hold a connection open.
constexpr int RequestTimeoutMs = 2000;
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
    : QObject(parent), m_name(name), m_onShow(std::move(onShow)), m_server(new QLocalServer(this)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::accept);
}

bool InstanceServer::listen() {
    // The caller holds the single-instance lock, so a socket left at this name belongs to an
    // instance that died: it goes.
    QLocalServer::removeServer(m_name);
    return m_server->listen(m_name);
}

QString InstanceServer::errorString() const {
    return m_server->errorString();
}

void InstanceServer::accept() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(RequestTimeoutMs, socket, [socket] { socket->abort(); });
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
}
