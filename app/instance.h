#pragma once
// The handshake between a second start and the running instance, over a local socket named after
// the ledger in use: the second start asks, the running instance shows its window and answers.

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

// Asks the instance listening at `name` to show its window. True once it has answered; false
// when nothing listens or no answer came within `timeoutMs` milliseconds.
bool AskToShow(const QString& name, int timeoutMs = 1000);

// Listens at `name` for the rest of the run, only for the user who started it.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    InstanceServer(const QString& name, std::function<void()> onShow, QObject* parent = nullptr);
    // False when the socket cannot be made; the program then runs on, only unreachable.
    bool listen();
    QString errorString() const;

private:
    void accept();

    QString m_name;
    std::function<void()> m_onShow;
    QLocalServer* m_server;
};
