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
