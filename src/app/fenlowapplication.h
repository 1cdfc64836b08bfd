#pragma once

#include <QApplication>

class MessageBoxes;

// The program's application object, and the one place that catches a failure escaping an
// event handler: it is shown in a box titled "Fenlow" and the program runs on.
class FenlowApplication final : public QApplication {
    Q_OBJECT
public:
    FenlowApplication(int &argc, char **argv);

    // Where unexpected failures are shown; set once the boxes can be made.
    void setMessageBoxes(MessageBoxes *messages) { m_messages = messages; }

    bool notify(QObject *receiver, QEvent *event) override;

private:
    void showUnexpected(const QString &description);

    MessageBoxes *m_messages = nullptr;
};
