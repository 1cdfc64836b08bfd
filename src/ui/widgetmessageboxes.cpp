#include "widgetmessageboxes.h"

#include <QMessageBox>

void WidgetMessageBoxes::show(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Fenlow"), text, QMessageBox::Ok, m_parent);
    box.exec();
}
