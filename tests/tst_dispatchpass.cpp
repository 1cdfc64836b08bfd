#include <QTest>
class tst_dispatchpass : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(tst_dispatchpass)
#include "tst_dispatchpass.moc"
