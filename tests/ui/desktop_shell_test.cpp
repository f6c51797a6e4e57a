// Asking the desktop: file URLs from path bytes, and the file manager's ShowItems call over a
// D-Bus connection to a stand-in file manager in this process.

#include "event_wait.h"
#include "ui/desktop/desktop_shell.h"

#include <QDBusServer>
#include <QDBusVirtualObject>

#include <gtest/gtest.h>

#include <optional>

namespace corvane::ui {
namespace {

TEST(DesktopShell, FileUrlKeepsEveryByteOfThePath) {
    EXPECT_EQ(fileUrlOf("/srv/photo.jpg").toEncoded(), "file:///srv/photo.jpg");
    EXPECT_EQ(fileUrlOf("/srv/a b#?%.txt").toEncoded(), "file:///srv/a%20b%23%3F%25.txt");
    EXPECT_EQ(fileUrlOf("/srv/caf\xc3\xa9").toLocalFile(), QString::fromUtf8("/srv/caf\xc3\xa9"));
    EXPECT_EQ(fileUrlOf("/srv/caf\xe9").toEncoded(), "file:///srv/caf%E9");
}

TEST(DesktopShell, FolderOfAPath) {
    EXPECT_EQ(folderOf("/srv/data/photo.jpg"), "/srv/data");
    EXPECT_EQ(folderOf("/photo.jpg"), "/");
    EXPECT_EQ(folderOf("photo.jpg"), ".");
}

// A file manager that records each call and answers it, or answers with an error.
class FakeFileManager final : public QDBusVirtualObject {
public:
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        calls.push_back(message);
        connection.send(fails ? message.createErrorReply(QDBusError::Failed, QStringLiteral("no window"))
                              : message.createReply());
        return true;
    }
    QString introspect(const QString&) const override { return {}; }

    std::vector<QDBusMessage> calls;
    bool fails = false;
};

// A peer-to-peer connection to a server in this process, where a test can register a stand-in
// file manager; the desktop's URLs to open are collected.
class FileManagerCall : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.isConnected()) << server_.lastError().message().toStdString();
        testing::EventWait connected;
        QObject::connect(&server_, &QDBusServer::newConnection, [&](const QDBusConnection& connection) {
            serverSide_ = connection;
            connected.finish();
        });
        client_ = QDBusConnection::connectToPeer(server_.address(), kPeerName);
        ASSERT_TRUE(client_->isConnected()) << client_->lastError().message().toStdString();
        ASSERT_TRUE(connected.wait());
        services_ = desktopServices();
        desktopServices().openUrl = [this](const QUrl& url) {
            opened.push_back(url.toEncoded());
            return true;
        };
        desktopServices().bus = [this] { return *client_; };
    }

    void TearDown() override {
        desktopServices() = services_;
        if (serverSide_) {
            serverSide_->unregisterObject(QLatin1String(kObjectPath));
        }
        QDBusConnection::disconnectFromPeer(kPeerName);
    }

    void registerFileManager() {
        ASSERT_TRUE(serverSide_->registerVirtualObject(QLatin1String(kObjectPath), &fileManager));
    }

    // Asks to show `path` and waits until the answer has been handled.
    void showAndWait(const std::string& path) {
        QDBusPendingCallWatcher* pending = showInFileManager(path);
        ASSERT_NE(pending, nullptr);
        testing::EventWait answered;
        QObject::connect(pending, &QObject::destroyed, [&] { answered.finish(); });
        ASSERT_TRUE(answered.wait());
    }

    static constexpr const char* kObjectPath = "/org/freedesktop/FileManager1";
    const QString kPeerName = QStringLiteral("corvane-test-file-manager");

    FakeFileManager fileManager;
    std::vector<QByteArray> opened;

private:
    QDBusServer server_;
    std::optional<QDBusConnection> serverSide_;
    std::optional<QDBusConnection> client_;
    DesktopServices services_;
};

TEST_F(FileManagerCall, ShowItemsGetsTheFileUrlAndNothingElseOpens) {
    registerFileManager();
    showAndWait("/srv/caf\xe9/photo 1.jpg");
    ASSERT_EQ(fileManager.calls.size(), 1u);
    const QDBusMessage& call = fileManager.calls[0];
    EXPECT_EQ(call.interface(), "org.freedesktop.FileManager1");
    EXPECT_EQ(call.member(), "ShowItems");
    EXPECT_EQ(call.signature(), "ass");
    ASSERT_EQ(call.arguments().size(), 2);
    EXPECT_EQ(call.arguments()[0].toStringList(), QStringList{"file:///srv/caf%E9/photo%201.jpg"});
    EXPECT_EQ(call.arguments()[1].toString(), "");
    EXPECT_TRUE(opened.empty());
}

TEST_F(FileManagerCall, WithoutAFileManagerOrWhenItFailsTheFolderOpens) {
    showAndWait("/srv/data/photo.jpg"); // nobody at the object path
    EXPECT_EQ(opened, std::vector<QByteArray>{"file:///srv/data"});

    registerFileManager();
    fileManager.fails = true;
    showAndWait("/srv/other/photo.jpg");
    EXPECT_EQ(fileManager.calls.size(), 1u);
    EXPECT_EQ(opened, (std::vector<QByteArray>{"file:///srv/data", "file:///srv/other"}));
}

} // namespace
} // namespace corvane::ui
