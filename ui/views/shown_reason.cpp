#include "ui/views/shown_reason.h"

#include "ui/views/shown_name.h"

#include <QCoreApplication>

namespace corvane::ui {

QString shownReason(const platform::Reason& reason) {
    if (reason.empty()) {
        return {};
    }
    const QByteArray pattern = QCoreApplication::translate("frm_delete", reason.code()).toUtf8();
    const QByteArray first = shownName(reason.first()).toUtf8();
    const QByteArray second = shownName(reason.second()).toUtf8();
    const std::string system =
        reason.error() != 0 ? platform::systemReasonText(reason.error()) : std::string();
    return QString::fromStdString(platform::fillReason(
        std::string_view(pattern.constData(), static_cast<size_t>(pattern.size())),
        {std::string_view(first.constData(), static_cast<size_t>(first.size())),
         std::string_view(second.constData(), static_cast<size_t>(second.size())), system}));
}

} // namespace corvane::ui
