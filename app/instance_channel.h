#pragma once

// How a second start reaches the running instance: a local socket beside the instance's lock file
// (single_instance.h), private to the user like the lock. The running instance listens on it; a
// second start asks it to bring its window to the front and ends.
//
// The exchange is one line each way: "show TOKEN\n", where TOKEN is the desktop's activation
// token of the second start (XDG_ACTIVATION_TOKEN or DESKTOP_STARTUP_ID, possibly empty), which
// lets the running window take the focus on desktops that refuse it to a program the user did not
// just start; and "shown\n" once the window is in front, or "not shown\n".

#include <QObject>
#include <QString>

#include <functional>
#include <string>

class QLocalServer;

namespace corvane::app {

// The socket of the instance `name`: its lock file's path with ".socket" for ".lock".
QString instanceSocketPath(const std::string& name);

// Listens, in the running instance, for second starts; each one's request runs `show` on the
// thread the listener lives on, which brings the window to the front and says whether it is.
class InstanceListener final : public QObject {
public:
    using Show = std::function<bool(const QByteArray& activationToken)>;
    InstanceListener(const std::string& name, Show show, QObject* parent = nullptr);
    ~InstanceListener() override;

    // False when the socket could not be made: second starts then only end.
    bool listening() const;

private:
    void answer();

    QLocalServer* server_;
    Show show_;
};

// In a second start: asks the running instance `name` to show its window and waits for the
// answer at most `timeoutMs`. True when the running window says it is in front.
bool askRunningInstanceToShow(const std::string& name, int timeoutMs);

} // namespace corvane::app
