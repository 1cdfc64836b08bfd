#include "ui/datacontrol.h"

#include "platform/messageboxes.h"
#include "ui/fonts.h"
#include "ui/twips.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// A navigation button: a triangle, with a bar for first and last.
class NavigationButton : public QToolButton {
public:
    NavigationButton(bool towardsEnd, bool toLimit, QWidget *parent)
        : QToolButton(parent)
        , m_towardsEnd(towardsEnd)
        , m_toLimit(toLimit)
    {
        setFocusPolicy(Qt::NoFocus);
        setAutoRaise(false);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QToolButton::paintEvent(event);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(isEnabled() ? palette().buttonText() : palette().mid());
        const QPointF centre = QRectF(rect()).center();
        const double half = std::min(width(), height()) * 0.22;
        const double direction = m_towardsEnd ? 1 : -1;
        const QPointF tip = centre + QPointF(direction * half, 0);
        const QPointF back = centre - QPointF(direction * half, 0);
        const QPolygonF triangle{tip, back + QPointF(0, -half), back + QPointF(0, half)};
        painter.drawPolygon(triangle);
        if (m_toLimit) {
            painter.drawRect(QRectF(tip.x() - (m_towardsEnd ? 0 : 1.5), centre.y() - half, 1.5, 2 * half));
        }
    }

private:
    bool m_towardsEnd;
    bool m_toLimit;
};

} // namespace

DataControl::DataControl(MessageBoxes &messages, OwnErrorBox ownErrorBox, QWidget *parent, const QString &databasePath)
    : QWidget(parent)
    , m_messages(messages)
    , m_ownErrorBox(ownErrorBox)
    , m_store(databasePath)
{
    setObjectName(u"datPrimaryRS"_s);
    resize(Twips::size(1200, 360));
    setAutoFillBackground(true);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    const auto addButton = [&](const char *name, bool towardsEnd, bool toLimit, void (DataControl::*move)()) {
        auto *button = new NavigationButton(towardsEnd, toLimit, this);
        button->setObjectName(QLatin1String(name));
        button->setFixedWidth(Twips::toPixels(180));
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        connect(button, &QToolButton::clicked, this, move);
        layout->addWidget(button);
    };
    addButton("btnFirst", false, true, &DataControl::moveFirst);
    addButton("btnPrevious", false, false, &DataControl::movePrevious);
    m_caption = new QLabel(u" "_s, this);
    m_caption->setObjectName(u"caption"_s);
    m_caption->setFont(japaneseFont(9));
    m_caption->setFrameShape(QFrame::Panel);
    m_caption->setFrameShadow(QFrame::Sunken);
    m_caption->setMinimumWidth(0);
    m_caption->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    // The bar is narrow: a caption too long for it keeps its end, where the position stands,
    // and shows whole as a tool tip.
    m_caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(m_caption, 1);
    addButton("btnNext", true, false, &DataControl::moveNext);
    addButton("btnLast", true, true, &DataControl::moveLast);

    connect(&m_store, &RuleStore::MoveComplete, this, &DataControl::MoveComplete);
    connect(&m_store, &RuleStore::WillChangeRecord, this, &DataControl::WillChangeRecord);
    connect(&m_store, &RuleStore::Error, this, &DataControl::reportError);
}

void DataControl::Open()
{
    m_store.Open();
}

void DataControl::Refresh()
{
    m_store.Refresh();
}

QString DataControl::Caption() const
{
    return m_caption->text();
}

void DataControl::SetCaption(const QString &caption)
{
    m_caption->setText(caption);
    m_caption->setToolTip(caption.trimmed());
}

void DataControl::reportError(const QString &description)
{
    emit Error(description);
    if (m_ownErrorBox == OwnErrorBox::Shown && m_suppressed == 0) {
        m_messages.show(description);
    }
}

template <typename Move> void DataControl::navigate(Move move)
{
    if (m_store.RecordCount() == 0) {
        return; // nothing to move to
    }
    emit WillMove();
    try {
        move();
    } catch (const StoreError &error) {
        reportError(error.description());
    }
}

void DataControl::moveFirst()
{
    navigate([this] { m_store.MoveFirst(); });
}

void DataControl::moveLast()
{
    navigate([this] { m_store.MoveLast(); });
}

void DataControl::movePrevious()
{
    navigate([this] {
        if (!m_store.BOF()) {
            m_store.MovePrevious();
        }
        if (m_store.BOF()) {
            m_store.MoveFirst(); // the control never stays before the first row
        }
    });
}

void DataControl::moveNext()
{
    navigate([this] {
        if (!m_store.Eof()) {
            m_store.MoveNext();
        }
        if (m_store.Eof()) {
            m_store.MoveLast(); // nor past the last; no row is added
        }
    });
}
