#include "ui/desktop/desktop_shell.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDesktopServices>

namespace corvane::ui {

namespace {

constexpr const char* kFileManagerService = "org.freedesktop.FileManager1";
constexpr const char* kFileManagerPath = "/org/freedesktop/FileManager1";
constexpr const char* kFileManagerInterface = "org.freedesktop.FileManager1";

bool openFolderOf(const std::string& path) {
    return desktopServices().openUrl(fileUrlOf(folderOf(path)));
}

} // namespace

QUrl fileUrlOf(std::string_view path) {
    const QByteArray bytes(path.data(), static_cast<qsizetype>(path.size()));
    // Every byte but the unreserved ones and "/" percent-encoded; QUrl keeps escapes that are not
    // UTF-8 as they are.
    return QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"), QUrl::StrictMode);
}

std::string folderOf(std::string_view path) {
    const size_t last = path.rfind('/');
    if (last == std::string_view::npos) {
        return ".";
    }
    return std::string(path.substr(0, last == 0 ? 1 : last));
}

DesktopServices& desktopServices() {
    static DesktopServices services{
        .openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); },
        .bus = [] { return QDBusConnection::sessionBus(); },
    };
    return services;
}

bool openFile(std::string_view path) {
    return desktopServices().openUrl(fileUrlOf(path));
}

QDBusPendingCallWatcher* showInFileManager(std::string_view path, std::function<void()> failed) {
    const std::string file(path);
    const QDBusConnection bus = desktopServices().bus();
    if (!bus.isConnected()) {
        if (!openFolderOf(file) && failed) {
            failed();
        }
        return nullptr;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(QLatin1String(kFileManagerService), QLatin1String(kFileManagerPath),
                                       QLatin1String(kFileManagerInterface), QStringLiteral("ShowItems"));
    // D-Bus strings must be UTF-8; the percent-encoded URL is ASCII whatever the name's bytes.
    call << QStringList{QString::fromLatin1(fileUrlOf(file).toEncoded())} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, desktopServices().fileManagerTimeoutMs),
                                                QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [file, failed = std::move(failed)](QDBusPendingCallWatcher* finished) {
                         if (finished->isError() && !openFolderOf(file) && failed) {
                             failed();
                         }
                         finished->deleteLater();
                     });
    return watcher;
}

} // namespace corvane::ui
