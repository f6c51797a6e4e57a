#include "ui/forms/reading_order.h"

#include <QWidget>

#include <algorithm>

namespace corvane::ui {

namespace {

bool sameRow(const QRect& a, const QRect& b) {
    const int overlap = std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top()) + 1;
    return overlap * 2 >= std::min(a.height(), b.height()) && overlap > 0;
}

void collect(QWidget* container, std::vector<QWidget*>& order) {
    auto children = container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    children.erase(std::remove_if(children.begin(), children.end(), [](QWidget* w) { return w->isWindow(); }),
                   children.end());
    std::stable_sort(children.begin(), children.end(),
                     [](QWidget* a, QWidget* b) { return a->geometry().top() < b->geometry().top(); });
    // Rows: each child joins the row of the first child before it that it shares a row with.
    std::vector<std::vector<QWidget*>> rows;
    for (QWidget* child : children) {
        if (rows.empty() || !sameRow(rows.back().front()->geometry(), child->geometry())) {
            rows.emplace_back();
        }
        rows.back().push_back(child);
    }
    for (auto& row : rows) {
        std::stable_sort(row.begin(), row.end(),
                         [](QWidget* a, QWidget* b) { return a->geometry().left() < b->geometry().left(); });
        for (QWidget* child : row) {
            order.push_back(child);
            collect(child, order);
        }
    }
}

} // namespace

std::vector<QWidget*> readingOrder(QWidget* container) {
    std::vector<QWidget*> order;
    collect(container, order);
    return order;
}

} // namespace corvane::ui
