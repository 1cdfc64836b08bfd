#pragma once

#include <QString>

// Message boxes titled "Fenlow". Windows show them; tests read what would have been shown.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A modal box with an OK button.
    virtual void show(const QString &text) = 0;
    // A modal question with Yes and No buttons: true for Yes.
    [[nodiscard]] virtual bool ask(const QString &text) = 0;
    // A box that does not wait for the operator: at most one is open, and a newer report
    // replaces the text of the one that is. For failures met while a timer tick runs.
    virtual void showWithoutBlocking(const QString &text) = 0;
    // Replaces the text of the report box if it is open, without raising it or taking the
    // focus; a report the operator has closed stays closed. For a report that brings no news.
    virtual void updateReport(const QString &text) = 0;
};
