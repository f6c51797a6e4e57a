#pragma once

// The mark of a file or a search path in a reference folder (never deleted): a small padlock,
// drawn here, so that it needs no picture file and looks the same on every desktop.

#include <QIcon>

namespace corvane::ui {

// The padlock, drawn for the sizes a list or tree asks for.
const QIcon& referenceMark();

} // namespace corvane::ui
