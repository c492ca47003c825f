#pragma once
// The handshake between a second start and the running instance, over a local socket named after
// the ledger in use: the second start asks, the running instance shows its window and answers.

#include <QObject>
#include <QString>
#include <functional>

class QSocketNotifier;
class QTimer;

// Asks the instance listening at `name` to show its window. True once it has answered; false
// when nothing listens or no answer came within `timeoutMs` milliseconds.
bool AskToShow(const QString& name, int timeoutMs = 1000);

// Listens at `name` (a socket path) for the rest of the run, only for the user who started it.
// The socket stays whatever the clients do: when the program runs out of file descriptors it stops
// accepting for a moment and then goes on, and it serves a few connections at a time.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    InstanceServer(const QString& name, std::function<void()> onShow, QObject* parent = nullptr);
    ~InstanceServer() override;
    // False when the socket cannot be made; the program then runs on, only unreachable.
    bool listen();
    QString errorString() const;

private:
    void acceptPending();
    void serve(int fd);
    void resume();
    bool fail(const char* what);

    QString m_name;
    std::function<void()> m_onShow;
    QString m_error;
    int m_fd = -1;
    int m_serving = 0; // accepted connections not yet closed
    QSocketNotifier* m_notifier = nullptr;
    QTimer* m_pause;
};
