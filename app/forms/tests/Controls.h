// The controls of a window that a screen reader cannot name (as one text): every button, box,
// bar, spin edit, line edit, list and table below `root` whose name,
// as Qt's accessibility interface reports it, is empty or only its object name. The parts Qt builds inside
// a composite control (a spin edit's line, a list's scroll bars) are the
// composite's own and are left out.
#pragma once

#include <QAbstractButton>
#include <QAccessible>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>

#include <string>

namespace encoderdesk::test {

inline bool InsideComposite(QWidget* w, QWidget* root)
{
    for (QWidget* p = w->parentWidget(); p && p != root; p = p->parentWidget())
        if (qobject_cast<QAbstractSpinBox*>(p) || qobject_cast<QComboBox*>(p) ||
            qobject_cast<QAbstractScrollArea*>(p) || p->objectName().startsWith("qt_"))
            return true;
    return w->objectName().startsWith("qt_");
}

inline std::string UnnamedControls(QWidget* root)
{
    QStringList unnamed;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                             qobject_cast<QAbstractSlider*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
                             qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractScrollArea*>(w) ||
                             w->objectName() == "PreviewPanel";
        if (!control || InsideComposite(w, root)) continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
        const QString name = face ? face->text(QAccessible::Name).trimmed() : QString();
        if (name.isEmpty() || name == w->objectName())
            unnamed << QString("%1 %2").arg(w->metaObject()->className(), w->objectName());
    }
    return unnamed.join(", ").toStdString();
}

}  // namespace encoderdesk::test
