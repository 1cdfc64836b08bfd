#pragma once

#include <QDialog>
#include <QWidget>

class WindowList;

// The rule table editor's window until the editor is built: titled "FileList", unloaded when closed.
class RuleTablePlaceholder : public QWidget {
    Q_OBJECT
public:
    explicit RuleTablePlaceholder(WindowList &windows);
};

// The folder settings dialog until it is built: titled "Form1", modal, gone when closed.
class FolderSettingsPlaceholder : public QDialog {
    Q_OBJECT
public:
    FolderSettingsPlaceholder(WindowList &windows, QWidget *owner);
};
