#include "app/instance_channel.h"

#include "app/single_instance.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace corvane::app {

namespace {

constexpr char kShow[] = "show";
constexpr char kOpen[] = "open";
constexpr char kShown[] = "shown\n";
constexpr char kNotShown[] = "not shown\n";
constexpr char kBusy[] = "busy\n";
// A request is one line: a token and a file name, each at most a few kilobytes and at most three
// times that once percent-encoded. Anything longer is not one of ours.
constexpr qint64 kLongestRequest = 64 * 1024;

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

QByteArray requestLine(const InstanceRequest& request) {
    QByteArray line = request.file ? kOpen : kShow;
    line += ' ' + request.activationToken.toPercentEncoding();
    if (request.file) {
        line += ' ' + QByteArray::fromStdString(*request.file).toPercentEncoding();
    }
    return line + '\n';
}

std::optional<InstanceRequest> parseRequestLine(const QByteArray& line) {
    QByteArray text = line;
    if (text.endsWith('\n')) {
        text.chop(1);
    }
    const QList<QByteArray> words = text.split(' ');
    // An older start sent "show" with its token unencoded; tokens hold no spaces.
    if (words.size() == 2 && words[0] == kShow) {
        return InstanceRequest{QByteArray::fromPercentEncoding(words[1]), std::nullopt};
    }
    if (words.size() == 3 && words[0] == kOpen && !words[2].isEmpty()) {
        return InstanceRequest{QByteArray::fromPercentEncoding(words[1]),
                               QByteArray::fromPercentEncoding(words[2]).toStdString()};
    }
    return std::nullopt;
}

QString instanceSocketPath(const std::string& name) {
    std::string path = instanceLockPath(name);
    const std::string lockSuffix = ".lock";
    path.replace(path.size() - lockSuffix.size(), lockSuffix.size(), ".socket");
    return QString::fromLocal8Bit(path.c_str());
}

InstanceListener::InstanceListener(const std::string& name, Answer answer, QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)), answer_(std::move(answer)) {
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
            const QByteArray line = socket->readLine(kLongestRequest + 1);
            const std::optional<InstanceRequest> request =
                line.endsWith('\n') ? parseRequestLine(line) : std::nullopt;
            if (!request) {
                socket->abort();
                return;
            }
            switch (answer_(*request)) {
            case InstanceAnswer::Shown:
                socket->write(kShown);
                break;
            case InstanceAnswer::NotShown:
                socket->write(kNotShown);
                break;
            case InstanceAnswer::Busy:
                socket->write(kBusy);
                break;
            }
            socket->flush();
            socket->disconnectFromServer();
        });
    }
}

InstanceAnswer askRunningInstance(const std::string& name, const std::optional<std::string>& file,
                                  int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(instanceSocketPath(name));
    if (!socket.waitForConnected(timeoutMs)) {
        return InstanceAnswer::NotShown;
    }
    socket.write(requestLine({activationToken(), file}));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(timeoutMs)) {
            return InstanceAnswer::NotShown;
        }
    }
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs)) {
            return InstanceAnswer::NotShown;
        }
    }
    const QByteArray answer = socket.readLine();
    return answer == kShown  ? InstanceAnswer::Shown
           : answer == kBusy ? InstanceAnswer::Busy
                             : InstanceAnswer::NotShown;
}

} // namespace corvane::app
