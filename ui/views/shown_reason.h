#pragma once

// A reason as the window shows it: its template (platform/reason_texts.h) translated in the
// delete dialog's context, the paths it names shown as the window shows names (shown_name.h), and
// the system's words on an error as the system gives them.

#include "platform/reason.h"

#include <QString>

namespace corvane::ui {

QString shownReason(const platform::Reason& reason);

} // namespace corvane::ui
