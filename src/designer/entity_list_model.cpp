#include <brindle/designer/entity_list_model.h>

namespace brindle {

EntityListModel::EntityListModel(QObject* parent) : QAbstractListModel(parent) {}

void EntityListModel::Reset(std::vector<Entry> entries)
{
    beginResetModel();
    FEntries = std::move(entries);
    endResetModel();
}

quintptr EntityListModel::Key(int row) const
{
    return row >= 0 && row < rowCount() ? FEntries[static_cast<std::size_t>(row)].Key : 0;
}

int EntityListModel::Row(quintptr key) const
{
    for (std::size_t row = 0; row < FEntries.size(); ++row)
        if (FEntries[row].Key == key)
            return static_cast<int>(row);
    return -1;
}

void EntityListModel::SetText(int row, const QString& text)
{
    if (row < 0 || row >= rowCount())
        return;
    FEntries[static_cast<std::size_t>(row)].Text = text;
    emit dataChanged(index(row), index(row), {Qt::DisplayRole});
}

int EntityListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(FEntries.size());
}

QVariant EntityListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Entry& entry = FEntries[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return entry.Text;
    if (role == KeyRole)
        return QVariant::fromValue(entry.Key);
    return {};
}

} // namespace brindle
