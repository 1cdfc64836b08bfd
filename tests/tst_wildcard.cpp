#include <QTest>
class tst_wildcard : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(tst_wildcard)
#include "tst_wildcard.moc"
