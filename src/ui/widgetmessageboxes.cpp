#include "ui/widgetmessageboxes.h"

#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace {

QMessageBox *makeBox(const QString &text, QWidget *parent)
{
    return new QMessageBox(QMessageBox::NoIcon, u"Fenlow"_s, text, QMessageBox::Ok, parent);
}

} // namespace

WidgetMessageBoxes::~WidgetMessageBoxes()
{
    delete m_report;
}

void WidgetMessageBoxes::show(const QString &text)
{
    std::unique_ptr<QMessageBox> box(makeBox(text, m_parent));
    box->exec();
}

void WidgetMessageBoxes::showWithoutBlocking(const QString &text)
{
    if (!m_report) {
        m_report = makeBox(text, m_parent);
        m_report->setAttribute(Qt::WA_DeleteOnClose);
        m_report->setWindowModality(Qt::NonModal);
        m_report->setAttribute(Qt::WA_QuitOnClose, false); // an open report never keeps the program alive
    }
    m_report->setText(text);
    m_report->show();
    m_report->raise();
}

void WidgetMessageBoxes::updateReport(const QString &text)
{
    if (m_report && m_report->isVisible()) {
        m_report->setText(text);
    }
}
