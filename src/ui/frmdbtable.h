#pragma once

#include <QTableView>
#include <QWidget>

struct Platform;
class DataControl;
class QPushButton;
class RuleTableModel;

// The rule table editor's grid: a table view that can hand over an edit still open in a cell.
class RuleGrid : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;
    // Writes what is typed into a cell editor that is still open into the model.
    void commitOpenEdit();
};

// The rule table editor: every rule of its own store in a grid, with add, update, delete,
// show-again and close buttons. What it changes reaches the database at once; the passes see
// it after the program is started again. Any number can be open, each on its own store.
class frmDBTable : public QWidget {
    Q_OBJECT
public:
    explicit frmDBTable(Platform &platform);
    ~frmDBTable() override;

    [[nodiscard]] DataControl *dataControl() const { return datPrimaryRS; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void onCmdAddClicked();
    void onCmdUpdateClicked();
    void onCmdDeleteClicked();
    void onCmdRefreshClicked();
    void onCmdCloseClicked();
    void showPosition();
    void showDataError(const QString &description);
    void followCursor();
    void onGridRowChanged(const QModelIndex &current, const QModelIndex &previous);
    // Runs a button's steps; a failure shows its description alone and ends them.
    template <typename Steps> void runSteps(Steps steps);
    void applyResizeRule();

    Platform &m_platform;
    RuleGrid *grdDataGrid = nullptr;
    RuleTableModel *m_model = nullptr;
    DataControl *datPrimaryRS = nullptr;
    QWidget *picButtons = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdUpdate = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdRefresh = nullptr;
    QPushButton *cmdClose = nullptr;
    bool m_followingCursor = false;
};
