#include "app/application_start.h"

#include "corvane_version.h"

#include <QByteArray>
#include <QIcon>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace corvane::app {

namespace {

// What Qt says while the application object is being made, kept until it is clear whether the
// program can run.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

std::vector<HeldMessage> heldMessages;
QtMessageHandler previousHandler = nullptr;

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        // The platform's own first words name the problem best ("could not connect to display
        // :1"); Qt's closing text only lists plugins.
        std::string said;
        for (const HeldMessage& held : heldMessages) {
            if (held.category.startsWith("qt.qpa")) {
                said = held.text.toStdString();
                break;
            }
        }
        const std::string line = noWindowLine(said, std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                                              std::getenv("QT_QPA_PLATFORM"));
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
        // Qt would abort next: the process ends here, with the status the manual gives.
        std::_Exit(1);
    }
    heldMessages.push_back({type, QByteArray(context.category ? context.category : ""), text});
}

bool isSet(const char* value) {
    return value != nullptr && value[0] != '\0';
}

} // namespace

std::string noWindowLine(const std::string& platformMessage, const char* display, const char* waylandDisplay,
                         const char* platform) {
    std::string line = "corvane: cannot show the window: ";
    if (!isSet(display) && !isSet(waylandDisplay) && !isSet(platform)) {
        return line + "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    }
    std::string said = platformMessage;
    // One line: the platform's message up to its first line break, without trailing blanks.
    said = said.substr(0, said.find('\n'));
    while (!said.empty() && (said.back() == ' ' || said.back() == '.')) {
        said.pop_back();
    }
    if (said.empty()) {
        said = std::string("the window system did not start (QT_QPA_PLATFORM=") +
               (isSet(platform) ? platform : "") + ", DISPLAY=" + (isSet(display) ? display : "") + ")";
    }
    return line + said;
}

std::unique_ptr<QApplication> startApplication(int& argc, char** argv) {
    heldMessages.clear();
    previousHandler = qInstallMessageHandler(holdMessage);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previousHandler);
    for (const HeldMessage& held : heldMessages) {
        const QMessageLogContext context(nullptr, 0, nullptr, held.category.constData());
        qt_message_output(held.type, context, held.text);
    }
    heldMessages.clear();
    return application;
}

void nameApplication() {
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("corvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/corvane.svg")));
}

} // namespace corvane::app
