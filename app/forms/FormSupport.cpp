#include "forms/FormSupport.h"

#include <QAbstractButton>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
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
        if (!name.isEmpty()) w->setAccessibleName(name);
    }
}

QHBoxLayout* OkCancelRow(QDialog* dialog, QWidget* left)
{
    auto* ok = new QPushButton("OK");
    ok->setObjectName("BitBtn1");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Отмена");
    cancel->setObjectName("BitBtn2");
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    if (left) row->addWidget(left);
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

}  // namespace encoderdesk
