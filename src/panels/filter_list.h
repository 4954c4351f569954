#pragma once
// TFilterList: the form a list of choices takes when it holds more entries
// than fit on the screen. A search line stands over a list that shows only
// the entries holding every typed word, letter case ignored, in their
// caption or in the name of their group (shown beside the caption), so a
// table's name lists its fields and "ord date" finds an order date.
// The list is a QListView over a model of entry numbers: twenty thousand
// entries are one vector, not twenty thousand items or actions.
//
// Up, Down, Page Up and Page Down move the current entry, Enter or a click
// chooses it (chosen), Escape gives up (cancelled); every other key types.
// The owner keeps what the entries stand for: each carries the owner's own
// number (Source).

#include <brindle/brindle_widgets_export.h>
#include <brindle/panels/drop_down_label.h>

#include <QAbstractListModel>
#include <QFrame>

#include <vector>

class QLineEdit;
class QListView;

namespace brindle {

struct TFilterEntry {
    QString Caption;
    QString Group;
    int Source = 0;
    int ImageIndex = -1;
};

class BRINDLE_WIDGETS_EXPORT TFilterListModel : public QAbstractListModel {
    Q_OBJECT
public:
    // The group name of a row, drawn beside its caption.
    static constexpr int GroupRole = Qt::UserRole;

    using QAbstractListModel::QAbstractListModel;

    void SetEntries(std::vector<TFilterEntry> entries);
    void SetImages(const TImageList* images) { FImages = images; }
    // Shows the entries that hold every blank-separated word of the text
    // in their caption or group, in their order; the empty text shows all.
    void SetFilter(const QString& text);
    int EntryCount() const { return static_cast<int>(FEntries.size()); }
    // The source of a shown row; -1 past the rows.
    int Source(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::vector<TFilterEntry> FEntries;
    // Case-folded captions and groups, made once per filling.
    std::vector<QString> FCaptionKeys;
    std::vector<QString> FGroupKeys;
    std::vector<int> FShown;
    const TImageList* FImages = nullptr;
};

class BRINDLE_WIDGETS_EXPORT TFilterList : public QFrame {
    Q_OBJECT
public:
    explicit TFilterList(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    TFilterListModel& Model() { return *FModel; }
    QLineEdit* SearchLine() const { return FSearch; }
    QListView* List() const { return FList; }
    // Empties the search line and shows every entry, none current.
    void Restart();
    // The current entry's source, -1 without one.
    int CurrentSource() const;
    // The height that shows the search line and that many rows.
    int HeightFor(int rows) const;

signals:
    void chosen(int source);
    void cancelled();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void filterBy(const QString& text);
    void moveBy(int rows);

    TFilterListModel* FModel;
    QLineEdit* FSearch;
    QListView* FList;
    bool FForwarding = false;
};

} // namespace brindle
