#pragma once

#include "platform/messageboxes.h"

#include <QPointer>

class QMessageBox;
class QWidget;

// Message boxes as the operator sees them: QMessageBox titled "Fenlow" with an OK button.
class WidgetMessageBoxes final : public MessageBoxes {
public:
    explicit WidgetMessageBoxes(QWidget *parent = nullptr)
        : m_parent(parent)
    {
    }
    ~WidgetMessageBoxes() override;
    void show(const QString &text) override;
    bool ask(const QString &text) override;
    void showWithoutBlocking(const QString &text) override;
    void updateReport(const QString &text) override;

private:
    void setReportText(const QString &text);

    QWidget *m_parent;
    QPointer<QMessageBox> m_report;
};
