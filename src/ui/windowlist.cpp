#include "ui/windowlist.h"

#include <QWidget>

void WindowList::add(QWidget *window)
{
    prune();
    m_windows.append(window);
}

void WindowList::prune()
{
    m_windows.removeIf([](const QPointer<QWidget> &window) { return window.isNull(); });
}

int WindowList::count() const
{
    return int(std::count_if(m_windows.cbegin(), m_windows.cend(),
                             [](const QPointer<QWidget> &window) { return !window.isNull(); }));
}

QWidget *WindowList::at(int position) const
{
    int live = 0;
    for (const QPointer<QWidget> &window : m_windows) {
        if (window && live++ == position) {
            return window;
        }
    }
    return nullptr;
}

void WindowList::closeAllButFirst()
{
    prune();
    // Counting down keeps the positions still to come where they were, whatever a closing
    // window does to the list. A window that refuses to close does not stop the others.
    const QList<QPointer<QWidget>> windows = m_windows;
    for (qsizetype i = windows.size() - 1; i >= 1; --i) {
        if (windows[i]) {
            windows[i]->close();
        }
    }
}
