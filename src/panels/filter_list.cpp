#include <brindle/panels/filter_list.h>

#include <brindle/panels/event_guard.h>
#include <brindle/panels/filter_words.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

namespace brindle {

namespace {

constexpr int GroupGap = 12;

// The caption as the style draws it, the group name dimmed at the far side.
class GroupBesideDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QString group = index.data(TFilterListModel::GroupRole).toString();
        if (group.isEmpty()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        // Both whole where they fit; else the group keeps at most half the
        // row and the caption elides in the rest.
        const int width = option.rect.width();
        const int captionWidth = option.fontMetrics.horizontalAdvance(index.data().toString()) + 2 * GroupGap;
        // A pixel more than the rounded advance, which may fall short of the
        // text's own width and elide it.
        const int groupWidth = std::min(option.fontMetrics.horizontalAdvance(group) + 1,
                                        std::max(width - captionWidth - GroupGap, width / 2));
        const bool rtl = option.direction == Qt::RightToLeft;
        QStyleOptionViewItem captionOption = option;
        captionOption.rect.adjust(rtl ? groupWidth + GroupGap : 0, 0, rtl ? 0 : -(groupWidth + GroupGap), 0);
        // The whole row is highlighted, not only the caption's part.
        if (option.state & QStyle::State_Selected)
            painter->fillRect(option.rect, option.palette.brush(QPalette::Highlight));
        QStyledItemDelegate::paint(painter, captionOption, index);
        const QRect groupBox(rtl ? option.rect.left() + 4 : option.rect.right() - groupWidth - 4, option.rect.top(),
                             groupWidth, option.rect.height());
        // Halfway between text and background, on light and dark palettes alike.
        const bool selected = option.state & QStyle::State_Selected;
        const QColor text = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        const QColor back = option.palette.color(selected ? QPalette::Highlight : QPalette::Base);
        const QColor shade((text.red() + back.red()) / 2, (text.green() + back.green()) / 2,
                           (text.blue() + back.blue()) / 2);
        painter->save();
        painter->setPen(shade);
        painter->drawText(groupBox, Qt::AlignVCenter | Qt::AlignTrailing,
                          option.fontMetrics.elidedText(group, Qt::ElideRight, groupWidth));
        painter->restore();
    }
};

} // namespace

void TFilterListModel::SetEntries(std::vector<TFilterEntry> entries)
{
    beginResetModel();
    FEntries = std::move(entries);
    FCaptionKeys.clear();
    FGroupKeys.clear();
    FCaptionKeys.reserve(FEntries.size());
    FGroupKeys.reserve(FEntries.size());
    // Entries of one group share its folded name.
    QString lastGroup;
    QString lastGroupKey;
    for (const TFilterEntry& entry : FEntries) {
        FCaptionKeys.push_back(FilterKey(entry.Caption));
        if (entry.Group != lastGroup || lastGroupKey.isNull()) {
            lastGroup = entry.Group;
            lastGroupKey = FilterKey(entry.Group);
        }
        FGroupKeys.push_back(lastGroupKey);
    }
    FShown.resize(FEntries.size());
    std::iota(FShown.begin(), FShown.end(), 0);
    endResetModel();
}

void TFilterListModel::SetFilter(const QString& text)
{
    const QStringList words = FilterWords(text);
    std::vector<int> shown;
    shown.reserve(FEntries.size());
    for (int i = 0; i < static_cast<int>(FEntries.size()); ++i)
        if (HoldsEvery(FCaptionKeys[i], FGroupKeys[i], words))
            shown.push_back(i);
    if (shown == FShown)
        return;
    beginResetModel();
    FShown = std::move(shown);
    endResetModel();
}

int TFilterListModel::Source(int row) const
{
    return row >= 0 && row < static_cast<int>(FShown.size()) ? FEntries[FShown[row]].Source : -1;
}

int TFilterListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(FShown.size());
}

QVariant TFilterListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(FShown.size()))
        return {};
    const TFilterEntry& entry = FEntries[FShown[index.row()]];
    switch (role) {
    case Qt::DisplayRole:
        return entry.Caption;
    case GroupRole:
        return entry.Group;
    case Qt::ToolTipRole:
        return entry.Group.isEmpty() ? entry.Caption : entry.Group + QStringLiteral(": ") + entry.Caption;
    case Qt::DecorationRole:
        if (FImages && entry.ImageIndex >= 0 && entry.ImageIndex < FImages->size())
            return FImages->at(entry.ImageIndex);
        return {};
    default:
        return {};
    }
}

TFilterList::TFilterList(QWidget* parent, Qt::WindowFlags flags)
    : QFrame(parent, flags), FModel(new TFilterListModel(this)), FSearch(new QLineEdit(this)),
      FList(new QListView(this))
{
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    FSearch->setPlaceholderText(tr("Type to filter"));
    FSearch->setClearButtonEnabled(true);
    FList->setModel(FModel);
    FList->setItemDelegate(new GroupBesideDelegate(FList));
    // Rows of one height let the view place twenty thousand of them at once.
    FList->setUniformItemSizes(true);
    FList->setSelectionMode(QAbstractItemView::SingleSelection);
    FList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FList->setFrameShape(QFrame::NoFrame);
    FList->setTextElideMode(Qt::ElideRight);
    // Typing stays in the search line whatever is clicked.
    FList->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(FSearch);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(1);
    layout->addWidget(FSearch);
    layout->addWidget(FList);
    connect(FSearch, &QLineEdit::textChanged, this, [this](const QString& text) { filterBy(text); });
    connect(FList, &QListView::clicked, this, [this](const QModelIndex& index) {
        const int source = FModel->Source(index.row());
        if (source >= 0)
            Guarded([&] { emit chosen(source); });
    });
}

void TFilterList::Restart()
{
    const QSignalBlocker quiet(FSearch);
    FSearch->clear();
    FModel->SetFilter({});
    FList->setCurrentIndex({});
    FList->scrollToTop();
}

int TFilterList::CurrentSource() const
{
    const QModelIndex current = FList->currentIndex();
    return current.isValid() && FList->selectionModel()->isSelected(current) ? FModel->Source(current.row()) : -1;
}

int TFilterList::HeightFor(int rows) const
{
    const int row = std::max(FList->fontMetrics().height() + 2, FList->sizeHintForRow(0));
    return FSearch->sizeHint().height() + rows * row + 2 * frameWidth() + 4;
}

void TFilterList::filterBy(const QString& text)
{
    FModel->SetFilter(text);
    // What is typed picks the first match, so Enter takes it at once.
    if (!text.trimmed().isEmpty() && FModel->rowCount() > 0)
        FList->setCurrentIndex(FModel->index(0));
    else
        FList->setCurrentIndex({});
    FList->scrollToTop();
}

void TFilterList::moveBy(int rows)
{
    const int count = FModel->rowCount();
    if (count == 0)
        return;
    const QModelIndex current = FList->currentIndex();
    // Without a current row, moving down starts at the first and up at the last.
    int row = current.isValid() ? current.row() + rows : (rows > 0 ? 0 : count - 1);
    row = std::clamp(row, 0, count - 1);
    FList->setCurrentIndex(FModel->index(row));
}

void TFilterList::keyPressEvent(QKeyEvent* event)
{
    const int page = std::max(1, FList->viewport()->height() / std::max(1, FList->sizeHintForRow(0)) - 1);
    switch (event->key()) {
    case Qt::Key_Down:
        moveBy(1);
        return;
    case Qt::Key_Up:
        moveBy(-1);
        return;
    case Qt::Key_PageDown:
        moveBy(page);
        return;
    case Qt::Key_PageUp:
        moveBy(-page);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (const int source = CurrentSource(); source >= 0)
            Guarded([&] { emit chosen(source); });
        return;
    case Qt::Key_Escape:
        Guarded([&] { emit cancelled(); });
        return;
    default:
        break;
    }
    // A key sent to the form itself types into the search line; one the
    // line did not take comes back here and stops.
    if (FForwarding || event->text().isEmpty()) {
        event->ignore();
        return;
    }
    FForwarding = true;
    QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text(), event->isAutoRepeat(),
                   static_cast<ushort>(event->count()));
    QApplication::sendEvent(FSearch, &copy);
    FForwarding = false;
}

} // namespace brindle
