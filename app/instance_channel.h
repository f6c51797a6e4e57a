#pragma once

// How a second start reaches the running instance: a local socket beside the instance's lock file
// (single_instance.h), private to the user like the lock. The running instance listens on it; a
// second start asks it to bring its window to the front and ends.
//
// The exchange is one line each way. The request is "show TOKEN\n", or "open TOKEN FILE\n" when the
// second start was given a result set to open. TOKEN is the desktop's activation token of the
// second start (XDG_ACTIVATION_TOKEN or DESKTOP_STARTUP_ID, possibly empty), which lets the running
// window take the focus on desktops that refuse it to a program the user did not just start; FILE
// is the absolute name of the set's .CVN file. Both are percent-encoded, so that a file name is
// carried byte for byte whatever bytes it holds (spaces, newlines, invalid UTF-8). The answer is
// "shown\n" once the window is in front (and will open the file), "not shown\n", or "busy\n" when
// the window is in front but cannot open a file now (a search runs, a dialog is open).

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string>

class QLocalServer;

namespace corvane::app {

// The socket of the instance `name`: its lock file's path with ".socket" for ".lock".
QString instanceSocketPath(const std::string& name);

// What a second start asks of the running instance.
struct InstanceRequest {
    QByteArray activationToken;
    // The result set to open (its .CVN file, an absolute name, as bytes), if any.
    std::optional<std::string> file;
};

enum class InstanceAnswer {
    Shown,    // the window is in front; a file asked for is being opened
    NotShown, // the window could not come to the front, or no instance answered
    Busy,     // the window is in front, but cannot open the file asked for now
};

// The lines of the exchange, made and read apart from the socket.
QByteArray requestLine(const InstanceRequest& request);
// The request a line holds (without or with its '\n'), or nothing when it is not one of ours.
std::optional<InstanceRequest> parseRequestLine(const QByteArray& line);

// Listens, in the running instance, for second starts; each one's request runs `answer` on the
// thread the listener lives on, which brings the window to the front, opens what was asked for and
// says what it did.
class InstanceListener final : public QObject {
public:
    using Answer = std::function<InstanceAnswer(const InstanceRequest& request)>;
    InstanceListener(const std::string& name, Answer answer, QObject* parent = nullptr);
    ~InstanceListener() override;

    // False when the socket could not be made: second starts then only end.
    bool listening() const;

private:
    void answer();

    QLocalServer* server_;
    Answer answer_;
};

// In a second start: asks the running instance `name` to show its window, and to open `file` when
// one is given, and waits for the answer at most `timeoutMs` for each step. NotShown when no
// instance answers in time.
InstanceAnswer askRunningInstance(const std::string& name, const std::optional<std::string>& file,
                                  int timeoutMs);

} // namespace corvane::app
