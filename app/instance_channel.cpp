#include "app/instance_channel.h"

#include "app/single_instance.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace corvane::app {

namespace {

constexpr char kShow[] = "show ";
constexpr char kShown[] = "shown\n";
constexpr char kNotShown[] = "not shown\n";
// A request is a short line; anything longer is not one of ours.
constexpr qint64 kLongestRequest = 4096;

QByteArray activationToken() {
    for (const char* variable : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"}) {
        const QByteArray token = qgetenv(variable);
        if (!token.isEmpty()) {
            return token;
        }
    }
    return {};
}

} // namespace

QString instanceSocketPath(const std::string& name) {
    std::string path = instanceLockPath(name);
    const std::string lockSuffix = ".lock";
    path.replace(path.size() - lockSuffix.size(), lockSuffix.size(), ".socket");
    return QString::fromLocal8Bit(path.c_str());
}

InstanceListener::InstanceListener(const std::string& name, Show show, QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)), show_(std::move(show)) {
    const QString path = instanceSocketPath(name);
    // This process holds the instance lock: a socket left there is one a crashed instance left.
    QLocalServer::removeServer(path);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->listen(path);
    connect(server_, &QLocalServer::newConnection, this, &InstanceListener::answer);
}

InstanceListener::~InstanceListener() {
    server_->close();
}

bool InstanceListener::listening() const {
    return server_->isListening();
}

void InstanceListener::answer() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kLongestRequest) {
                    socket->abort();
                }
                return;
            }
            const QByteArray line = socket->readLine(kLongestRequest);
            if (!line.startsWith(kShow) || !line.endsWith('\n')) {
                socket->abort();
                return;
            }
            const QByteArray token = line.mid(qsizetype(sizeof(kShow)) - 1).trimmed();
            socket->write(show_(token) ? kShown : kNotShown);
            socket->flush();
            socket->disconnectFromServer();
        });
    }
}

bool askRunningInstanceToShow(const std::string& name, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(instanceSocketPath(name));
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    socket.write(QByteArray(kShow) + activationToken() + '\n');
    if (!socket.waitForBytesWritten(timeoutMs)) {
        return false;
    }
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs)) {
            return false;
        }
    }
    return socket.readLine() == kShown;
}

} // namespace corvane::app
