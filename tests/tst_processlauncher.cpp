#include <QTest>
class tst_processlauncher : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(tst_processlauncher)
#include "tst_processlauncher.moc"
