#include <QTest>
class tst_module1 : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(tst_module1)
#include "tst_module1.moc"
