#include <QTest>
class tst_filesystem : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(tst_filesystem)
#include "tst_filesystem.moc"
