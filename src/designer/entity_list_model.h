#pragma once
// EntityListModel: the entries of a data model editor page's list or combo
// box as an item model: an entity's key (its address, or a small number for
// entries that stand for none) and its caption. A list of 200,000 attributes
// fills in one pass, without an item object per entry. The keys are only
// compared; the page reads an entity through its key while it knows it alive.

#include <brindle/brindle_widgets_export.h>

#include <QAbstractListModel>

#include <vector>

namespace brindle {

class BRINDLE_WIDGETS_EXPORT EntityListModel : public QAbstractListModel {
    Q_OBJECT
public:
    // The role that gives an entry's key as a quintptr, what QComboBox reads
    // as an entry's data.
    static constexpr int KeyRole = Qt::UserRole;

    struct Entry {
        quintptr Key = 0;
        QString Text;
    };

    explicit EntityListModel(QObject* parent = nullptr);

    static quintptr KeyOf(const void* entity) { return reinterpret_cast<quintptr>(entity); }
    void Reset(std::vector<Entry> entries);
    quintptr Key(int row) const;
    // The first row of the key, or -1.
    int Row(quintptr key) const;
    void SetText(int row, const QString& text);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::vector<Entry> FEntries;
};

} // namespace brindle
