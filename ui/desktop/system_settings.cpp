#include "ui/desktop/system_settings.h"

#include <QSettings>

#include <cstdint>
#include <limits>
#include <optional>

namespace corvane::ui {

namespace {

// A 32-bit integer: a whole decimal number in the file, or a number stored with its type.
std::optional<int32_t> integerOf(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QString: {
        bool ok = false;
        const int32_t number = value.toString().toInt(&ok, 10);
        return ok ? std::optional(number) : std::nullopt;
    }
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        bool ok = false;
        const qlonglong number = value.toLongLong(&ok);
        if (ok && number >= std::numeric_limits<int32_t>::min() &&
            number <= std::numeric_limits<int32_t>::max()) {
            return static_cast<int32_t>(number);
        }
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

} // namespace

void keepNoUserSettings() {
    // /dev/null is no folder, for root neither: nothing can be made below it.
    const QString nowhere = QStringLiteral("/dev/null");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, nowhere);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, nowhere);
}

SupportLinkSettings readSupportLinkSettings() {
    // System scope only: a user's own file must not add a link that the machine does not offer.
    // The native format is the text form here, in files named .conf.
    const QSettings settings(QSettings::SystemScope, QStringLiteral("Corvane"), QStringLiteral("Corvane"));
    SupportLinkSettings result;
    if (integerOf(settings.value(QStringLiteral("website_exist"))) != 1) {
        return result;
    }
    const QVariant address = settings.value(QStringLiteral("website_address"));
    if (address.isValid() && address.typeId() != QMetaType::QString) {
        return result;
    }
    result.showLink = true;
    result.address = address.toString();
    return result;
}

} // namespace corvane::ui
