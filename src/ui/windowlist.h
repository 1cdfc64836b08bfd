#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

// Every loaded window of the program, in the order of loading. The main window loads first,
// so it is always at position 0; closing it closes the others from the newest down.
class WindowList : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Adds window; it leaves the list when it is destroyed.
    void add(QWidget *window);
    [[nodiscard]] int count() const;
    [[nodiscard]] QWidget *at(int position) const;
    // Closes (unloads) every window after position 0, the most recently loaded first.
    void closeAllButFirst();

private:
    void prune();
    QList<QPointer<QWidget>> m_windows;
};
