#include "platform/trash_info.h"

#include <array>
#include <charconv>
#include <ctime>
#include <utility>

namespace corvane::platform {

namespace {

constexpr std::string_view kGroupHeader = "[Trash Info]";
constexpr std::string_view kPathKey = "Path=";
constexpr std::string_view kDateKey = "DeletionDate=";
constexpr std::string_view kEntryKey = "X-Corvane-Entry=";

bool isKeptAsIs(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// Lines as the desktop-entry format has them; a carriage return before the line feed is
// tolerated, since some writers add one.
std::string_view withoutCarriageReturn(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

// "DEVICE:INODE", both decimal; nothing for any other text.
std::optional<FileIdentity> parseEntry(std::string_view text) {
    FileIdentity identity;
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view device = text.substr(0, colon);
    const std::string_view inode = text.substr(colon + 1);
    const auto parsed = [](std::string_view digits, uint64_t& value) {
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        return !digits.empty() && error == std::errc() && end == digits.data() + digits.size();
    };
    if (!parsed(device, identity.device) || !parsed(inode, identity.inode)) {
        return std::nullopt;
    }
    return identity;
}

} // namespace

std::string percentEncodePath(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (isKeptAsIs(byte)) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        }
    }
    return encoded;
}

std::optional<std::string> percentDecodePath(std::string_view encoded) {
    std::string decoded;
    decoded.reserve(encoded.size());
    for (size_t i = 0; i < encoded.size(); ++i) {
        char c = encoded[i];
        if (c == '%') {
            if (i + 2 >= encoded.size()) {
                return std::nullopt;
            }
            const int high = hexValue(encoded[i + 1]);
            const int low = hexValue(encoded[i + 2]);
            if (high < 0 || low < 0) {
                return std::nullopt;
            }
            c = static_cast<char>(high * 16 + low);
            i += 2;
        }
        if (c == '\0') {
            return std::nullopt;
        }
        decoded += c;
    }
    return decoded;
}

std::optional<std::string> trashDeletionDate(int64_t secondsSinceEpoch) {
    const time_t t = static_cast<time_t>(secondsSinceEpoch);
    std::tm fields{};
    if (static_cast<int64_t>(t) != secondsSinceEpoch || !localtime_r(&t, &fields)) {
        return std::nullopt;
    }
    std::array<char, 64> text{};
    const size_t length = std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%S", &fields);
    if (length == 0) {
        return std::nullopt;
    }
    return std::string(text.data(), length);
}

std::string composeTrashInfo(std::string_view originalPath, std::string_view deletionDate,
                             const std::optional<FileIdentity>& movedEntry) {
    std::string text;
    text += kGroupHeader;
    text += '\n';
    text += kPathKey;
    text += percentEncodePath(originalPath);
    text += '\n';
    text += kDateKey;
    text += deletionDate;
    text += '\n';
    if (movedEntry) {
        text += kEntryKey;
        text += std::to_string(movedEntry->device);
        text += ':';
        text += std::to_string(movedEntry->inode);
        text += '\n';
    }
    return text;
}

std::optional<TrashInfoText> parseTrashInfo(std::string_view text) {
    std::optional<std::string> path;
    std::string date;
    std::optional<FileIdentity> entry;
    bool inGroup = false;
    bool first = true;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = withoutCarriageReturn(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            if (!first) {
                break; // a later group: not ours to read
            }
            inGroup = line == kGroupHeader;
            if (!inGroup) {
                return std::nullopt;
            }
        } else if (!inGroup) {
            return std::nullopt;
        } else if (line.starts_with(kPathKey)) {
            path = percentDecodePath(line.substr(kPathKey.size()));
            if (!path || path->empty()) {
                return std::nullopt;
            }
        } else if (line.starts_with(kDateKey)) {
            date = line.substr(kDateKey.size());
        } else if (line.starts_with(kEntryKey)) {
            entry = parseEntry(line.substr(kEntryKey.size()));
        }
        first = false;
    }
    if (!path) {
        return std::nullopt;
    }
    return TrashInfoText{std::move(*path), std::move(date), entry};
}

} // namespace corvane::platform
