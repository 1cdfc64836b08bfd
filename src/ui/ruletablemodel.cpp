#include "ui/ruletablemodel.h"

#include "engine/rulestore.h"

using namespace Qt::StringLiterals;

RuleTableModel::RuleTableModel(RuleStore &store, QObject *parent)
    : QAbstractTableModel(parent)
    , m_store(store)
{
    connect(&m_store, &RuleStore::rowsAboutToBeReset, this, [this] {
        ++m_changingRows;
        beginResetModel();
    });
    connect(&m_store, &RuleStore::rowsReset, this, [this] {
        endResetModel();
        --m_changingRows;
    });
    // A new rule is appended where the new-row line stands: to the view the line becomes the
    // rule and a fresh line appears below it, so an editor open on the line stays on its row.
    connect(&m_store, &RuleStore::rowAboutToBeInserted, this, [this](int row) {
        ++m_changingRows;
        beginInsertRows({}, row + 1, row + 1);
    });
    connect(&m_store, &RuleStore::rowInserted, this, [this](int row) {
        endInsertRows();
        emit headerDataChanged(Qt::Vertical, row, row + 1);
        --m_changingRows;
    });
    connect(&m_store, &RuleStore::rowAboutToBeRemoved, this, [this](int row) {
        ++m_changingRows;
        beginRemoveRows({}, row, row);
    });
    connect(&m_store, &RuleStore::rowRemoved, this, [this] {
        endRemoveRows();
        --m_changingRows;
    });
    connect(&m_store, &RuleStore::rowChanged, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); });
}

int RuleTableModel::newRowLine() const
{
    return m_store.RecordCount();
}

int RuleTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_store.RecordCount() + 1;
}

int RuleTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant RuleTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    return m_store.valueAt(index.row(), RuleStore::Column(index.column())).toString();
}

bool RuleTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole) {
        return false;
    }
    const auto column = RuleStore::Column(index.column());
    try {
        if (index.row() == newRowLine()) {
            if (value.toString().isEmpty()) {
                return false; // nothing typed: no rule is started
            }
            m_store.AddNew();
        } else {
            if (m_store.valueAt(index.row(), column).toString() == value.toString()) {
                return false; // left as it was: nothing to write
            }
            m_store.moveTo(index.row());
        }
        m_store.setValue(column, value.toString());
    } catch (const StoreError &error) {
        emit failed(error.description());
        return false;
    }
    return true;
}

QVariant RuleTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Horizontal) {
        return section == 0 ? u"検索ファイル名"_s : u"処理バッチファイルまたはプログラム"_s;
    }
    return section == newRowLine() ? u"*"_s : QString();
}

Qt::ItemFlags RuleTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}
