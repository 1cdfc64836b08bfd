#pragma once

#include "messageboxes.h"

class QWidget;

// Message boxes as the operator sees them: QMessageBox titled "Fenlow" with an OK button.
class WidgetMessageBoxes final : public MessageBoxes {
public:
    explicit WidgetMessageBoxes(QWidget *parent = nullptr) : m_parent(parent) {}
    void show(const QString &text) override;

private:
    QWidget *m_parent;
};
