#include "ui/fonts.h"
#include "ui/widgetmessageboxes.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_WidgetMessageBoxes : public QObject {
    Q_OBJECT
private slots:
    void reportsShareOneBoxThatDoesNotBlock();
    void quietUpdateNeitherRaisesNorReopens();
    void aReportSentenceStaysOnOneLine();
};

namespace {

QList<QMessageBox *> visibleBoxes()
{
    QList<QMessageBox *> boxes;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible()) {
            boxes.append(box);
        }
    }
    return boxes;
}

} // namespace

void tst_WidgetMessageBoxes::quietUpdateNeitherRaisesNorReopens()
{
    QWidget operatorsWindow;
    operatorsWindow.show();
    WidgetMessageBoxes messages;
    messages.showWithoutBlocking(u"first report"_s);
    operatorsWindow.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&operatorsWindow));
    messages.updateReport(u"same problems"_s);
    QCOMPARE(visibleBoxes().size(), 1);
    QCOMPARE(visibleBoxes()[0]->text(), u"same problems"_s);
    QCOMPARE(QApplication::activeWindow(), &operatorsWindow);

    visibleBoxes()[0]->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    messages.updateReport(u"same problems again"_s);
    QVERIFY(visibleBoxes().isEmpty());
}

void tst_WidgetMessageBoxes::reportsShareOneBoxThatDoesNotBlock()
{
    WidgetMessageBoxes messages;
    messages.showWithoutBlocking(u"first report"_s);
    messages.showWithoutBlocking(u"second report"_s);
    QList<QMessageBox *> boxes;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible()) {
            boxes.append(box);
        }
    }
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0]->text(), u"second report"_s);
    QCOMPARE(boxes[0]->windowTitle(), u"Fenlow"_s);
    QCOMPARE(boxes[0]->windowModality(), Qt::NonModal);
    QCOMPARE(boxes[0]->icon(), QMessageBox::Warning);
    QCOMPARE(boxes[0]->font().family(), japaneseFont(9).family());
    QVERIFY(!boxes[0]->testAttribute(Qt::WA_QuitOnClose));

    // Once the operator has closed it, the next report opens a box again.
    boxes[0]->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    messages.showWithoutBlocking(u"third report"_s);
    int visible = 0;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible()) {
            ++visible;
            QCOMPARE(box->text(), u"third report"_s);
        }
    }
    QCOMPARE(visible, 1);
}

void tst_WidgetMessageBoxes::aReportSentenceStaysOnOneLine()
{
    WidgetMessageBoxes messages;
    const QString sentence
        = u"・order_0001.dat を作業フォルダへ移動できません (検索フォルダに残しました): Device or resource busy"_s;
    messages.showWithoutBlocking(u"振り分け処理で 1 件の問題がありました。\n"_s + sentence);
    auto *label = visibleBoxes()[0]->findChild<QLabel *>(u"qt_msgbox_label"_s);
    QVERIFY(label);
    QVERIFY(label->width() >= QFontMetrics(label->font()).horizontalAdvance(sentence));
    visibleBoxes()[0]->close();
}

QTEST_MAIN(tst_WidgetMessageBoxes)
#include "tst_widgetmessageboxes.moc"
