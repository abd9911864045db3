#include "forms/FormSupport.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

namespace encoderdesk {
namespace {

QString Caption(QWidget* w)
{
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    return {};
}

}  // namespace

void NameForAccessibility(QWidget* root)
{
    const auto widgets = root->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!w->accessibleName().isEmpty()) continue;
        QString name = Caption(w).remove('&').trimmed();
        // A bar or a spin edit is named by the label that sits above it.
        if (name.isEmpty())
            for (QLabel* l : root->findChildren<QLabel*>())
                if (l->buddy() == w) name = l->text().trimmed();
        if (name.isEmpty()) name = w->toolTip();
        if (name.isEmpty()) name = w->objectName();
        if (!name.isEmpty()) w->setAccessibleName(name);
    }
}

}  // namespace encoderdesk
