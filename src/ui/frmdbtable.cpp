#include "ui/frmdbtable.h"

#include "platform/messageboxes.h"
#include "platform/platform.h"
#include "ui/datacontrol.h"
#include "ui/enterclicks.h"
#include "ui/fonts.h"
#include "ui/pictures.h"
#include "ui/ruletablemodel.h"
#include "ui/twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// The grid takes the client height less the data control, a 30-twip gap and the button bar.
constexpr float kDataControlHeight = 360;
constexpr float kGap = 30;
constexpr float kButtonBarHeight = 300;

} // namespace

void RuleGrid::commitOpenEdit()
{
    if (state() != QAbstractItemView::EditingState) {
        return;
    }
    if (QWidget *editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

frmDBTable::frmDBTable(Platform &platform)
    : m_platform(platform)
{
    setObjectName(u"frmDBTable"_s);
    setWindowTitle(u"FileList"_s);
    setWindowIcon(fenlowIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    // Every editor opens at the same place, its client area 1110 twips from the left and 345
    // from the top of the screen.
    setGeometry(Twips::rect(1110, 345, 7485, 4890));

    grdDataGrid = new RuleGrid(this);
    grdDataGrid->setObjectName(u"grdDataGrid"_s);
    grdDataGrid->setFont(japaneseFont(9));
    grdDataGrid->horizontalHeader()->setFont(japaneseFont(9));
    grdDataGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    grdDataGrid->setTabKeyNavigation(false); // Tab goes on to the buttons
    grdDataGrid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    grdDataGrid->verticalHeader()->setDefaultSectionSize(grdDataGrid->fontMetrics().height() + 6);

    datPrimaryRS = new DataControl(platform.messages, DataControl::OwnErrorBox::NotShown, this);
    m_model = new RuleTableModel(datPrimaryRS->Recordset(), this);
    grdDataGrid->setModel(m_model);
    grdDataGrid->setColumnWidth(0, Twips::toPixels(2009.76));
    grdDataGrid->setColumnWidth(1, Twips::toPixels(5009.95));

    picButtons = new QWidget(this);
    picButtons->setObjectName(u"picButtons"_s);
    const auto addButton = [this](const char *name, const QString &caption, double left,
                                  void (frmDBTable::*handler)()) {
        auto *button = Twips::place(new QPushButton(caption, picButtons), QLatin1String(name), left, 0, 1095, 300);
        connect(button, &QPushButton::clicked, this, handler);
        return button;
    };
    cmdAdd = addButton("cmdAdd", u"追加(&A)"_s, 1320, &frmDBTable::onCmdAddClicked);
    cmdUpdate = addButton("cmdUpdate", u"更新(&U)"_s, 2520, &frmDBTable::onCmdUpdateClicked);
    cmdDelete = addButton("cmdDelete", u"削除(&D)"_s, 3720, &frmDBTable::onCmdDeleteClicked);
    cmdRefresh = addButton("cmdRefresh", u"再表示(&R)"_s, 4920, &frmDBTable::onCmdRefreshClicked);
    cmdClose = addButton("cmdClose", u"閉じる(&C)"_s, 6120, &frmDBTable::onCmdCloseClicked);

    clickButtonsOnEnter(this);
    setTabOrder(grdDataGrid, cmdAdd);
    setTabOrder(cmdAdd, cmdUpdate);
    setTabOrder(cmdUpdate, cmdDelete);
    setTabOrder(cmdDelete, cmdRefresh);
    setTabOrder(cmdRefresh, cmdClose);

    connect(datPrimaryRS, &DataControl::MoveComplete, this, &frmDBTable::showPosition);
    connect(datPrimaryRS, &DataControl::MoveComplete, this, &frmDBTable::followCursor);
    connect(datPrimaryRS, &DataControl::Error, this, &frmDBTable::showDataError);
    // The navigation buttons take no focus, so a cell may still be open when they move the
    // cursor: what was typed goes into its own row before the cursor leaves it.
    connect(datPrimaryRS, &DataControl::WillMove, grdDataGrid, &RuleGrid::commitOpenEdit);
    connect(m_model, &RuleTableModel::failed, this, &frmDBTable::showDataError);
    connect(grdDataGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &frmDBTable::onGridRowChanged);

    datPrimaryRS->Open();
    applyResizeRule();
}

frmDBTable::~frmDBTable() = default;

void frmDBTable::showPosition()
{
    datPrimaryRS->SetCaption(u"Record: "_s + QString::number(datPrimaryRS->Recordset().AbsolutePosition()));
}

void frmDBTable::showDataError(const QString &description)
{
    m_platform.messages.show(u"Data error event hit err:"_s + description);
}

void frmDBTable::followCursor()
{
    // The grid's current row is the cursor's: past the last row is the new-row line.
    const RuleStore &rules = datPrimaryRS->Recordset();
    const int position = rules.AbsolutePosition();
    int row = -1;
    if (position > 0) {
        row = position - 1;
    } else if (rules.Eof()) {
        row = m_model->newRowLine();
    }
    if (row < 0 || grdDataGrid->currentIndex().row() == row) {
        return;
    }
    m_followingCursor = true;
    grdDataGrid->setCurrentIndex(m_model->index(row, std::max(grdDataGrid->currentIndex().column(), 0)));
    m_followingCursor = false;
}

void frmDBTable::onGridRowChanged(const QModelIndex &current, const QModelIndex &)
{
    // While rows come and go the view moves its current row by itself; the cursor stays where
    // the store put it, and the grid follows the cursor once the change is done.
    if (m_followingCursor || m_model->isChangingRows() || !current.isValid()) {
        return;
    }
    RuleStore &rules = datPrimaryRS->Recordset();
    try {
        // Leaving a row writes it; a refused write arrives through Error.
        rules.moveTo(std::min(current.row(), rules.RecordCount()));
    } catch (const StoreError &error) {
        showDataError(error.description());
    }
}

template <typename Steps> void frmDBTable::runSteps(Steps steps)
{
    grdDataGrid->commitOpenEdit();
    try {
        steps(datPrimaryRS->Recordset());
    } catch (const StoreError &error) {
        m_platform.messages.show(error.description());
    }
}

void frmDBTable::onCmdAddClicked()
{
    runSteps([this](RuleStore &rules) {
        rules.MoveLast();
        grdDataGrid->setFocus();
        // Handled after this handler returns: the grid steps from the last rule onto its new-row line.
        QCoreApplication::postEvent(grdDataGrid, new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier));
    });
}

void frmDBTable::onCmdUpdateClicked()
{
    runSteps([](RuleStore &rules) { rules.UpdateBatch(); });
}

void frmDBTable::onCmdDeleteClicked()
{
    runSteps([](RuleStore &rules) {
        rules.Delete();
        rules.MoveNext();
        // With no rule left the editor simply stands on its new-row line.
        if (rules.Eof() && rules.RecordCount() > 0) {
            rules.MoveLast();
        }
    });
}

void frmDBTable::onCmdRefreshClicked()
{
    runSteps([this](RuleStore &) { datPrimaryRS->Refresh(); });
}

void frmDBTable::onCmdCloseClicked()
{
    close();
}

void frmDBTable::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    applyResizeRule();
}

void frmDBTable::applyResizeRule()
{
    const float inner = float(Twips::fromPixels(height()));
    const float gridHeight = inner - kDataControlHeight - kGap - kButtonBarHeight;
    const int barTop = height() - Twips::toPixels(kButtonBarHeight);
    picButtons->setGeometry(0, barTop, width(), Twips::toPixels(kButtonBarHeight));
    if (gridHeight < 0) {
        return; // too low for the grid: it keeps the height it had
    }
    grdDataGrid->setGeometry(0, 0, width(), Twips::toPixels(gridHeight));
    // The data control stands in the strip between the grid and the button bar.
    datPrimaryRS->setGeometry(Twips::rect(0, gridHeight, 1200, kDataControlHeight));
}

void frmDBTable::closeEvent(QCloseEvent *event)
{
    // What was typed is written now, while there is still a window to report a refusal in.
    grdDataGrid->commitOpenEdit();
    datPrimaryRS->Recordset().Close();
    while (QApplication::overrideCursor()) {
        QApplication::restoreOverrideCursor();
    }
    event->accept();
}
