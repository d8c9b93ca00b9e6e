#include "ui/common/accessibility.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QToolButton>

namespace ui {
namespace {

// A caption as it is read: without access-key ampersands ("&&" stands for one) and without a
// closing colon.
QString spoken(const QString& caption) {
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&') && ++i >= caption.size())
            break;
        text.append(caption.at(i));
    }
    text = text.trimmed();
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text.trimmed();
}

QString nameFor(const QWidget& control, const QList<QLabel*>& labels) {
    if (const auto* tool = qobject_cast<const QToolButton*>(&control);
        tool != nullptr && tool->defaultAction() != nullptr &&
        !tool->defaultAction()->toolTip().isEmpty())
        return tool->defaultAction()->toolTip();
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control);
        button != nullptr && !button->text().isEmpty())
        return spoken(button->text());
    for (const QLabel* label : labels) {
        if (label->buddy() == &control)
            return spoken(label->text());
    }
    for (const QWidget* outer = control.parentWidget(); outer != nullptr && !outer->isWindow();
         outer = outer->parentWidget()) {
        if (const auto* frame = qobject_cast<const QGroupBox*>(outer);
            frame != nullptr && !frame->title().isEmpty())
            return spoken(frame->title());
    }
    return control.toolTip();
}

void nameWithin(QWidget& parent, const QList<QLabel*>& labels) {
    for (QWidget* child : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        // Windows of their own, and Qt's own parts (a toolbar's overflow button).
        if (child->isWindow() || child->objectName().startsWith(QLatin1String("qt_")))
            continue;
        if (!isInteractive(*child)) {
            nameWithin(*child, labels);
            continue;
        }
        if (child->accessibleName().isEmpty())
            child->setAccessibleName(nameFor(*child, labels));
        if (child->accessibleDescription().isEmpty() && child->toolTip() != child->accessibleName())
            child->setAccessibleDescription(child->toolTip());
    }
}

} // namespace

bool isInteractive(const QWidget& control) {
    return control.focusPolicy() != Qt::NoFocus || control.focusProxy() != nullptr ||
           qobject_cast<const QAbstractButton*>(&control) != nullptr;
}

void nameControls(QWidget& window) {
    nameWithin(window, window.findChildren<QLabel*>());
}

} // namespace ui
