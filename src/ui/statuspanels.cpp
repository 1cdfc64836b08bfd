#include "ui/statuspanels.h"

#include "platform/clock.h"
#include "ui/twips.h"

#include <QDateTime>
#include <QLabel>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

QLabel *panel(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setMinimumWidth(Twips::toPixels(1440));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setContentsMargins(2, 0, 2, 0);
    return label;
}

} // namespace

StatusPanels::StatusPanels(const Clock &clock, QWidget *parent)
    : QStatusBar(parent)
    , m_clock(clock)
{
    setObjectName(u"sbStatusBar"_s);
    setSizeGripEnabled(false);
    setFixedHeight(Twips::toPixels(270));
    m_status = panel("Panel1", u"ｽﾃｰﾀｽ"_s, this);
    m_status->setMinimumWidth(0);
    addWidget(m_status, 1);
    m_date = panel("Panel2", {}, this);
    m_time = panel("Panel3", {}, this);
    addPermanentWidget(m_date);
    addPermanentWidget(m_time);
    showNow();
    m_refresh.setInterval(1000);
    connect(&m_refresh, &QTimer::timeout, this, &StatusPanels::showNow);
    m_refresh.start();
}

void StatusPanels::showStatus(const QString &text, const QString &toolTip)
{
    m_status->setText(text);
    m_status->setToolTip(toolTip);
}

void StatusPanels::showNow()
{
    const QDateTime now = m_clock.now();
    const QLocale locale = QLocale::system();
    m_date->setText(locale.toString(now.date(), QLocale::ShortFormat));
    m_time->setText(locale.toString(now.time(), QLocale::ShortFormat));
}
