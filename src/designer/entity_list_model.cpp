#include <brindle/designer/entity_list_model.h>

#include <brindle/panels/filter_words.h>

#include <numeric>

namespace brindle {

EntityListModel::EntityListModel(QObject* parent) : QAbstractListModel(parent) {}

void EntityListModel::Reset(std::vector<Entry> entries)
{
    beginResetModel();
    FEntries = std::move(entries);
    FKeys.clear();
    makeKeys();
    FShown = filtered();
    endResetModel();
}

void EntityListModel::makeKeys()
{
    if (FWords.isEmpty() || FKeys.size() == FEntries.size())
        return;
    FKeys.clear();
    FKeys.reserve(FEntries.size());
    for (const Entry& entry : FEntries)
        FKeys.push_back(FilterKey(entry.Text));
}

std::vector<int> EntityListModel::filtered() const
{
    std::vector<int> shown;
    if (FWords.isEmpty()) {
        shown.resize(FEntries.size());
        std::iota(shown.begin(), shown.end(), 0);
        return shown;
    }
    static const QString noGroup;
    for (std::size_t i = 0; i < FEntries.size(); ++i)
        if (HoldsEvery(FKeys[i], noGroup, FWords))
            shown.push_back(static_cast<int>(i));
    return shown;
}

bool EntityListModel::SetFilter(const QString& text)
{
    const QStringList words = FilterWords(text);
    if (words == FWords)
        return false;
    FWords = words;
    makeKeys();
    std::vector<int> shown = filtered();
    if (shown == FShown)
        return false;
    beginResetModel();
    FShown = std::move(shown);
    endResetModel();
    return true;
}

quintptr EntityListModel::Key(int row) const
{
    return row >= 0 && row < rowCount() ? FEntries[static_cast<std::size_t>(FShown[static_cast<std::size_t>(row)])].Key : 0;
}

int EntityListModel::Row(quintptr key) const
{
    for (std::size_t row = 0; row < FShown.size(); ++row)
        if (FEntries[static_cast<std::size_t>(FShown[row])].Key == key)
            return static_cast<int>(row);
    return -1;
}

void EntityListModel::SetText(int row, const QString& text)
{
    if (row < 0 || row >= rowCount())
        return;
    const auto entry = static_cast<std::size_t>(FShown[static_cast<std::size_t>(row)]);
    FEntries[entry].Text = text;
    if (FKeys.size() == FEntries.size())
        FKeys[entry] = FilterKey(text);
    emit dataChanged(index(row), index(row), {Qt::DisplayRole});
}

int EntityListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(FShown.size());
}

QVariant EntityListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Entry& entry = FEntries[static_cast<std::size_t>(FShown[static_cast<std::size_t>(index.row())])];
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return entry.Text;
    if (role == KeyRole)
        return QVariant::fromValue(entry.Key);
    return {};
}

} // namespace brindle
