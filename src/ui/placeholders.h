#pragma once

#include <QWidget>

class WindowList;

// The rule table editor's window until the editor is built: titled "FileList", unloaded when closed.
class RuleTablePlaceholder : public QWidget {
    Q_OBJECT
public:
    explicit RuleTablePlaceholder(WindowList &windows);
};
