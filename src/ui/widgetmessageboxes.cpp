#include "ui/widgetmessageboxes.h"

#include "ui/fonts.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>

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

bool WidgetMessageBoxes::ask(const QString &text)
{
    std::unique_ptr<QMessageBox> box(makeBox(text, m_parent));
    box->setIcon(QMessageBox::Question);
    box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box->setDefaultButton(QMessageBox::Yes);
    return box->exec() == QMessageBox::Yes;
}

void WidgetMessageBoxes::showWithoutBlocking(const QString &text)
{
    if (!m_report) {
        m_report = makeBox(text, m_parent);
        m_report->setAttribute(Qt::WA_DeleteOnClose);
        m_report->setWindowModality(Qt::NonModal);
        m_report->setAttribute(Qt::WA_QuitOnClose, false); // an open report never keeps the program alive
        m_report->setIcon(QMessageBox::Warning);
        m_report->setFont(japaneseFont(9));
    }
    setReportText(text);
    m_report->show();
    m_report->raise();
}

void WidgetMessageBoxes::updateReport(const QString &text)
{
    if (m_report && m_report->isVisible()) {
        setReportText(text);
    }
}

void WidgetMessageBoxes::setReportText(const QString &text)
{
    // One sentence a line: the box is made wide enough for its longest line, up to most of the
    // screen, so that Qt, which may break Japanese between any two characters, need not.
    const QFontMetrics metrics(m_report->font());
    int widest = 0;
    for (const QString &line : text.split(u'\n')) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    const QScreen *screen = m_report->screen() ? m_report->screen() : QGuiApplication::primaryScreen();
    const int most = screen ? screen->availableGeometry().width() * 3 / 4 : 1000;
    m_report->setStyleSheet(u"QLabel#qt_msgbox_label { min-width: %1px; }"_s.arg(std::min(widest + 8, most)));
    m_report->setText(text);
}
