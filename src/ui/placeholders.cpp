#include "placeholders.h"

#include "pictures.h"
#include "twips.h"
#include "windowlist.h"

RuleTablePlaceholder::RuleTablePlaceholder(WindowList &windows)
{
    setObjectName(QStringLiteral("frmDBTable"));
    setWindowTitle(QStringLiteral("FileList"));
    setWindowIcon(fenlowIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    setGeometry(Twips::rect(1110, 345, 7485, 4890));
    windows.add(this);
}

FolderSettingsPlaceholder::FolderSettingsPlaceholder(WindowList &windows, QWidget *owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("frmCTL"));
    setWindowTitle(QStringLiteral("Form1"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(Twips::size(6345, 2685));
    windows.add(this);
}
