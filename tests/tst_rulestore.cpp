#include <QTest>
class tst_rulestore : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(tst_rulestore)
#include "tst_rulestore.moc"
