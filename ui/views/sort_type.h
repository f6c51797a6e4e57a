#pragma once

namespace corvane::ui {

// The sort mode of a list or a tree as a stored window names it. Only the modes a model
// documents as sorting do so; the others are kept as a setting.
enum class SortType { stNone, stData, stText, stBoth };

} // namespace corvane::ui
