#include "ui/enterclicks.h"

#include <QKeyEvent>
#include <QPushButton>

namespace {

class EnterClicks final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const int key = static_cast<QKeyEvent *>(event)->key();
        auto *button = qobject_cast<QPushButton *>(watched);
        if (!button || (key != Qt::Key_Return && key != Qt::Key_Enter) || !button->isEnabled()) {
            return false;
        }
        button->click();
        return true;
    }
};

} // namespace

void clickButtonsOnEnter(QWidget *window)
{
    auto *filter = new EnterClicks(window);
    for (QPushButton *button : window->findChildren<QPushButton *>()) {
        button->installEventFilter(filter);
    }
}
