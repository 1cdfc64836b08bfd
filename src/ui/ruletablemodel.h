#pragma once

#include <QAbstractTableModel>

class RuleStore;

// The rules of one store as a grid: a row per rule in cursor order, then the new-row line,
// on which typing starts a new rule. Edits go into the store, which writes a row when its
// cursor leaves it; the model holds no copy of its own.
class RuleTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RuleTableModel(RuleStore &store, QObject *parent = nullptr);

    // The row of the new-row line, below the last rule.
    [[nodiscard]] int newRowLine() const;
    // True while the store adds, removes or rereads rows: a view that moves its current row
    // meanwhile does so because rows come and go, not because the operator moved.
    [[nodiscard]] bool isChangingRows() const { return m_changingRows > 0; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // A store operation the operator started here failed.
    void failed(const QString &description);

private:
    RuleStore &m_store;
    int m_changingRows = 0;
};
