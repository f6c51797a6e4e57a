#include "ui/views/shown_name.h"

#include "stream/messages.h"

namespace corvane::ui {

QString shownName(std::string_view bytes) {
    // Most names are plain ASCII without a backslash: they show as they are, without a copy
    // through the escaping (the searched-files list asks for a million of them).
    bool plain = true;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || byte == '\\') {
            plain = false;
            break;
        }
    }
    if (plain) {
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    const std::string printable = stream::printableName(bytes);
    return QString::fromUtf8(printable.data(), static_cast<qsizetype>(printable.size()));
}

} // namespace corvane::ui
