// The lines a second start and the running instance exchange: a file name travels byte for byte,
// and a line that is not one of ours is refused.

#include "app/instance_channel.h"

#include <gtest/gtest.h>

namespace corvane::app {
namespace {

TEST(InstanceChannelLines, RequestsComeBackAsTheyWereSent) {
    const std::vector<InstanceRequest> requests = {
        {"", std::nullopt},
        {"token_123", std::nullopt},
        {"", std::string("/home/u/results.CVN")},
        {"tok en%\n", std::string("/tmp/a b\nc%20\xff\xfe.CVN")},
        {"x", std::string("/\r \t%%")},
    };
    for (const InstanceRequest& request : requests) {
        const QByteArray line = requestLine(request);
        EXPECT_TRUE(line.endsWith('\n'));
        EXPECT_EQ(line.count('\n'), 1) << "one line, whatever the name holds";
        const std::optional<InstanceRequest> read = parseRequestLine(line);
        ASSERT_TRUE(read.has_value()) << line.toStdString();
        EXPECT_EQ(read->activationToken, request.activationToken);
        EXPECT_EQ(read->file, request.file);
    }
}

TEST(InstanceChannelLines, AnOlderShowLineIsStillReadAndStrangeLinesAreRefused) {
    const std::optional<InstanceRequest> older = parseRequestLine("show abc_DEF-1\n");
    ASSERT_TRUE(older.has_value());
    EXPECT_EQ(older->activationToken, "abc_DEF-1");
    EXPECT_FALSE(older->file.has_value());

    for (const QByteArray& line : {QByteArray("show\n"), QByteArray("open tok\n"), QByteArray("open tok \n"),
                                   QByteArray("open tok a b\n"), QByteArray("close tok\n"), QByteArray("\n"),
                                   QByteArray("GET / HTTP/1.0\n")}) {
        EXPECT_FALSE(parseRequestLine(line).has_value()) << line.toStdString();
    }
}

} // namespace
} // namespace corvane::app
