#pragma once
// EntityListModel: the entries of a data model editor page's list or combo
// box as an item model: an entity's key (its address, or a small number for
// entries that stand for none) and its caption. A list of 200,000 attributes
// fills in one pass, without an item object per entry. The keys are only
// compared; the page reads an entity through its key while it knows it alive.
// A filter (SetFilter) narrows the entries shown; every row below is a row
// shown.

#include <brindle/brindle_widgets_export.h>

#include <QAbstractListModel>
#include <QStringList>

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
    // The filter stays and applies to the new entries.
    void Reset(std::vector<Entry> entries);
    // Shows the entries whose caption holds every word of the text
    // (FilterWords), in their order; the empty text shows all. False when
    // the rows shown stay.
    bool SetFilter(const QString& text);
    // Every entry, shown or not.
    int EntryCount() const { return static_cast<int>(FEntries.size()); }
    quintptr Key(int row) const;
    // The first row of the key, or -1.
    int Row(quintptr key) const;
    // A renamed entry stays shown until the filter changes.
    void SetText(int row, const QString& text);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    // The folded captions, while a filter needs them.
    void makeKeys();
    std::vector<int> filtered() const;

    std::vector<Entry> FEntries;
    // The case-folded captions, made at the first filtering after a reset.
    std::vector<QString> FKeys;
    QStringList FWords;
    // The entries shown, in their order.
    std::vector<int> FShown;
};

} // namespace brindle
