#include "ui/historywindow.h"

#include "platform/clock.h"
#include "platform/filenames.h"
#include "ui/fonts.h"
#include "ui/pictures.h"
#include "ui/twips.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The newest entries a window lists; older ones are a filter away.
constexpr int kListed = 10000;

QString outcome(const HistoryEntry &entry)
{
    if (entry.kind == u"moved"_s) {
        return u"移動"_s;
    }
    if (entry.kind == u"started"_s) {
        return u"起動 %1 (%2)"_s.arg(entry.command).arg(entry.processId);
    }
    if (entry.kind == u"waiting"_s) {
        return u"待機"_s;
    }
    return u"失敗: "_s + entry.reason;
}

} // namespace

HistoryWindow::HistoryWindow(QString historyPath, const Clock &clock)
    : m_clock(clock)
    , m_history(std::move(historyPath))
{
    setObjectName(u"HistoryWindow"_s);
    setWindowTitle(u"処理履歴"_s);
    setWindowIcon(fenlowIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(japaneseFont(9));
    resize(Twips::size(10500, 5400));

    auto *layout = new QVBoxLayout(this);
    auto *filterLabel = new QLabel(u"ファイル名(&F):"_s, this);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(u"fileFilter"_s);
    m_filter->setClearButtonEnabled(true);
    filterLabel->setBuddy(m_filter);
    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter, 1);
    layout->addLayout(filterRow);

    m_model = new QStandardItemModel(0, 4, this);
    m_model->setHorizontalHeaderLabels({u"時刻"_s, u"ファイル"_s, u"規則"_s, u"結果"_s});
    m_view = new QTableView(this);
    m_view->setObjectName(u"historyView"_s);
    m_view->setModel(m_model);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    layout->addWidget(m_view, 1);

    connect(m_filter, &QLineEdit::textChanged, this, &HistoryWindow::refresh);
    refresh();
    m_view->resizeColumnsToContents();
}

void HistoryWindow::refresh()
{
    m_model->removeRows(0, m_model->rowCount());
    if (!m_opened) {
        m_opened = m_history.open(m_clock.now()).ok();
    }
    const Result<QList<HistoryEntry>> entries
        = m_opened ? m_history.entries({}, m_filter->text(), kListed) : Result<QList<HistoryEntry>>::failure({});
    if (!entries) {
        return; // no history yet, or none that can be read: an empty list
    }
    for (const HistoryEntry &entry : entries.value()) {
        QList<QStandardItem *> row{new QStandardItem(entry.time.toString(u"yyyy-MM-dd HH:mm:ss"_s)),
                                   new QStandardItem(FileNames::printable(entry.file)),
                                   new QStandardItem(entry.pattern), new QStandardItem(outcome(entry))};
        m_model->appendRow(row);
    }
}
