#include "ui/forms/anchor_layout.h"

#include "stream/list_controls.h"

#include <QEvent>
#include <QVariant>
#include <QWidget>
#include <memory>

namespace corvane::ui {

namespace {

struct RuleHolder : QObject {
    using QObject::QObject;
    AnchorRule rule;
};

// The direct child of `parent` of type T (these helpers have no meta-object of their own, so
// qobject_cast cannot tell them apart).
template <class T> T* helperOf(const QObject* parent) {
    for (QObject* child : parent->children()) {
        if (auto* helper = dynamic_cast<T*>(child)) {
            return helper;
        }
    }
    return nullptr;
}

class ResizeWatcher final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            arrangeChildren(static_cast<QWidget*>(watched));
        }
        return false;
    }
};

int stretched(int designStart, int designLength, int delta, bool nearAnchor, bool farAnchor, int& length) {
    length = designLength;
    if (nearAnchor && farAnchor) {
        length = std::max(0, designLength + delta);
        return designStart;
    }
    if (farAnchor) {
        return designStart + delta;
    }
    return designStart;
}

} // namespace

void setAnchorRule(QWidget* control, uint32_t anchors, int align) {
    auto* holder = helperOf<RuleHolder>(control);
    if (!holder) {
        holder = new RuleHolder(control);
    }
    holder->rule.design = control->geometry();
    holder->rule.parentDesign = control->parentWidget() ? control->parentWidget()->size() : QSize();
    holder->rule.anchors = anchors;
    holder->rule.align = align;
}

void setAnchorRule(QWidget* control, const QRect& design, const QSize& parentDesign, uint32_t anchors) {
    setAnchorRule(control, anchors, stream::alNone);
    auto* holder = helperOf<RuleHolder>(control);
    holder->rule.design = design;
    holder->rule.parentDesign = parentDesign;
}

const AnchorRule* anchorRuleOf(const QWidget* control) {
    const auto* holder = helperOf<RuleHolder>(control);
    return holder ? &holder->rule : nullptr;
}

void arrangeOnResize(QWidget* container) {
    if (!helperOf<ResizeWatcher>(container)) {
        container->installEventFilter(new ResizeWatcher(container));
    }
    arrangeChildren(container);
}

void arrangeChildren(QWidget* container) {
    using namespace stream;
    const QSize size = container->size();
    QRect free(QPoint(0, 0), size);
    const auto children = container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    // Aligned controls take their edge of what is left, in the order top, bottom, left, right.
    for (int align : {alTop, alBottom, alLeft, alRight}) {
        for (QWidget* child : children) {
            const AnchorRule* rule = anchorRuleOf(child);
            if (!rule || rule->align != align || child->isWindow() || child->isHidden()) {
                continue;
            }
            QRect r;
            switch (align) {
            case alTop:
                r = QRect(free.left(), free.top(), free.width(), rule->design.height());
                free.setTop(r.bottom() + 1);
                break;
            case alBottom:
                r = QRect(free.left(), free.bottom() - rule->design.height() + 1, free.width(),
                          rule->design.height());
                free.setBottom(r.top() - 1);
                break;
            case alLeft:
                r = QRect(free.left(), free.top(), rule->design.width(), free.height());
                free.setLeft(r.right() + 1);
                break;
            default:
                r = QRect(free.right() - rule->design.width() + 1, free.top(), rule->design.width(),
                          free.height());
                free.setRight(r.left() - 1);
                break;
            }
            child->setGeometry(r);
        }
    }
    for (QWidget* child : children) {
        const AnchorRule* rule = anchorRuleOf(child);
        if (!rule || child->isWindow()) {
            continue;
        }
        if (rule->align == alClient) {
            child->setGeometry(free);
            continue;
        }
        if (rule->align != alNone) {
            continue;
        }
        const int dx = size.width() - rule->parentDesign.width();
        const int dy = size.height() - rule->parentDesign.height();
        int width = 0;
        int height = 0;
        const int x = stretched(rule->design.x(), rule->design.width(), dx, rule->anchors & akLeft,
                                rule->anchors & akRight, width);
        const int y = stretched(rule->design.y(), rule->design.height(), dy, rule->anchors & akTop,
                                rule->anchors & akBottom, height);
        child->setGeometry(x, y, width, height);
    }
}

} // namespace corvane::ui
