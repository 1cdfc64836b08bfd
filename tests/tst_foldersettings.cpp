#include <QTest>
class tst_foldersettings : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(tst_foldersettings)
#include "tst_foldersettings.moc"
