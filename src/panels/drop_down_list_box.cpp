#include <brindle/panels/drop_down_list_box.h>

#include <brindle/panels/event_guard.h>

#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QToolTip>

#include <algorithm>

namespace brindle {

namespace {

constexpr int ListWidthExtra = 23;    // frame and scroll bar
constexpr int CheckBoxWidth = 20;     // a check list's boxes
constexpr int FormWidthLimit = 300;   // a list on a window of its own

int smallestScreenHeight()
{
    int smallest = 0;
    for (QScreen* screen : QGuiApplication::screens()) {
        const int height = screen->geometry().height();
        if (smallest == 0 || height < smallest)
            smallest = height;
    }
    return smallest > 0 ? smallest : 768;
}

} // namespace

// ---- TVxCheckListBox

TVxCheckListBox::TVxCheckListBox(QWidget* parent) : QListWidget(parent)
{
    updateSelectionMode();
}

void TVxCheckListBox::SetExtendedSelect(bool on)
{
    FExtendedSelect = on;
    updateSelectionMode();
}

void TVxCheckListBox::SetMultiSelect(bool on)
{
    FMultiSelect = on;
    updateSelectionMode();
}

void TVxCheckListBox::updateSelectionMode()
{
    if (!FMultiSelect)
        setSelectionMode(SingleSelection);
    else
        setSelectionMode(FExtendedSelect ? ExtendedSelection : MultiSelection);
}

bool TVxCheckListBox::Checked(int row) const
{
    const QListWidgetItem* entry = item(row);
    return entry && entry->checkState() == Qt::Checked;
}

void TVxCheckListBox::SetChecked(int row, bool checked)
{
    if (QListWidgetItem* entry = item(row))
        entry->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TVxCheckListBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space) {
        // The focused row is toggled by the list itself.
        for (QListWidgetItem* entry : selectedItems())
            if (entry != currentItem())
                entry->setCheckState(entry->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
    QListWidget::keyPressEvent(event);
}

// ---- TDropDownCustomListBox

TDropDownCustomListBox::~TDropDownCustomListBox()
{
    if (FOwnsDesktop && FDesktop)
        FDesktop->deleteLater();
}

void TDropDownCustomListBox::CreateDesktop()
{
    if (FUseForm) {
        FDesktop = new QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        FDesktop->setWindowTitle({});
        FOwnsDesktop = true;
        return;
    }
    FDesktop = parentWidget()->window();
    const QPoint offset = parentWidget()->mapTo(FDesktop, QPoint(0, 0));
    FOffsetX = offset.x();
    FOffsetY = offset.y();
}

QPoint TDropDownCustomListBox::ClientToDesktop(const QPoint& point) const
{
    if (FUseForm)
        return parentWidget()->mapToGlobal(point);
    // The parent may have moved (scrolled) since the desktop was chosen.
    return parentWidget()->mapTo(FDesktop, point);
}

// ---- TDropDownListBox

TDropDownListBox::~TDropDownListBox()
{
    // The list lives on the desktop window, which outlives the label.
    if (FListBox)
        FListBox->deleteLater();
    if (FFilter)
        FFilter->deleteLater();
}

QWidget* TDropDownListBox::EditControl()
{
    ensureControl();
    if (FFilter && !FFilter->isHidden())
        return FFilter;
    return FListBox;
}

QListWidget* TDropDownListBox::makeList(QWidget* parent)
{
    auto* list = new QListWidget(parent);
    connect(list, &QListWidget::itemPressed, this, [this] { Guarded([this] { DropUp(true); }); });
    return list;
}

void TDropDownListBox::CreateControl()
{
    CreateDesktop();
    FListBox = makeList(FDesktop);
    FListBox->hide();
    FListBox->setFrameShape(QFrame::Box);
    FListBox->setLineWidth(1);
    FListBox->setUniformItemSizes(true);
    FListBox->setMouseTracking(true);
    FListBox->setLayoutDirection(layoutDirection());
    FListBox->setFont(font());
    FListBox->resize(0, 0);
    FListBox->installEventFilter(this);
    FListBox->viewport()->installEventFilter(this);
    FListBox->viewport()->setMouseTracking(true);
}

void TDropDownListBox::BiDiModeChanged()
{
    if (FListBox)
        FListBox->setLayoutDirection(layoutDirection());
}

int TDropDownListBox::GetLBWidth(int minWidth, const TStringList& items) const
{
    const QFontMetrics metrics = fontMetrics();
    int widest = minWidth;
    for (const QString& item : items)
        widest = std::max(widest, metrics.horizontalAdvance(item));
    return widest + ListWidthExtra;
}

void TDropDownListBox::SetListSorted(bool sorted)
{
    FListBox->setSortingEnabled(sorted);
    if (sorted)
        FListBox->sortItems();
}

int TDropDownListBox::GetListItemHeight() const
{
    return FListBox->count() > 0 ? FListBox->sizeHintForRow(0) : fontMetrics().height();
}

void TDropDownListBox::fillList()
{
    FListBox->setSortingEnabled(false);
    FListBox->clear();
    const TStringList& items = Items();
    for (int i = 0; i < items.Count(); ++i) {
        auto* row = new QListWidgetItem(items[i]);
        row->setData(Qt::UserRole, i);
        FListBox->addItem(row);
    }
    SetListSorted(SortList());
}

QRect TDropDownListBox::listBounds() const
{
    return listBounds(GetLBWidth(this->width(), Items()), GetListItemHeight() * Items().Count() + 4);
}

QRect TDropDownListBox::listBounds(int width, int height) const
{
    const int labelLeft = IsRightToLeft() ? x() + this->width() - width : x();
    const QPoint topLeft = ClientToDesktop(QPoint(labelLeft, y() + textHeight(QStringLiteral("A")) + 2));
    int left = topLeft.x();
    int top = topLeft.y();
    const int labelTop = ClientToDesktop(pos()).y();
    const int available = availableHeight();
    if (top + height >= available) {
        if (available - top > labelTop) {
            height = available - top - 2;
        } else if (labelTop - 4 > height) {
            top = labelTop - height;
        } else {
            top = 2;
            height = labelTop - 4;
        }
    }
    const int widthLimit = UseForm() ? FormWidthLimit : FDesktop->width() - left - 2;
    return {left, top, std::max(0, std::min(width, widthLimit)), std::max(0, height)};
}

int TDropDownListBox::availableHeight() const
{
    return UseForm() ? smallestScreenHeight() : FDesktop->height();
}

bool TDropDownListBox::fillIfItFits()
{
    if (!OffersFilter()) {
        fillList();
        return true;
    }
    // A row is at least a line of the font high, so a list of more rows
    // than lines fit is never made.
    const int count = Items().Count();
    const int available = availableHeight();
    if (static_cast<qint64>(count) * fontMetrics().height() + 4 > available)
        return false;
    fillList();
    if (GetListItemHeight() * count + 4 <= available)
        return true;
    FListBox->clear();
    return false;
}

void TDropDownListBox::place(QWidget* shown, const QRect& bounds)
{
    if (UseForm()) {
        FDesktop->setGeometry(bounds);
        shown->setGeometry(0, 0, bounds.width(), bounds.height());
        FDesktop->show();
    } else {
        shown->setGeometry(bounds);
    }
}

void TDropDownListBox::showFilter()
{
    if (!FFilter) {
        FFilter = new TFilterList(FDesktop);
        FFilter->hide();
        FFilter->SearchLine()->installEventFilter(this);
        connect(FFilter, &TFilterList::chosen, this, [this] { DropUp(true); });
        connect(FFilter, &TFilterList::cancelled, this, [this] { DropUp(false); });
    }
    FFilter->setFont(font());
    FFilter->setLayoutDirection(layoutDirection());
    const TStringList& items = Items();
    std::vector<TFilterEntry> entries;
    entries.reserve(items.Count());
    for (int i = 0; i < items.Count(); ++i)
        entries.push_back({items[i], {}, i});
    if (SortList())
        std::stable_sort(entries.begin(), entries.end(),
                         [](const TFilterEntry& a, const TFilterEntry& b) { return a.Caption < b.Caption; });
    FFilter->Model().SetEntries(std::move(entries));
    FFilter->Restart();
    // Measuring every caption would cost more than the list: the form is
    // as wide as forty average characters, or the label.
    const int width = std::max(this->width(), 40 * fontMetrics().averageCharWidth()) + ListWidthExtra;
    const QRect bounds = listBounds(width, FFilter->HeightFor(std::min(items.Count(), 1000)));
    place(FFilter, bounds);
    FFilter->show();
    FFilter->raise();
    FFilter->setFocus(Qt::OtherFocusReason);
}

void TDropDownListBox::ShowControl()
{
    TDropDownList::ShowControl();
    // Without a parent there is nowhere to show an editor.
    if (!ensureControl()) {
        DropUp(false);
        return;
    }
    if (!fillIfItFits()) {
        FListBox->hide();
        showFilter();
        return;
    }
    if (FFilter)
        FFilter->hide();
    const QRect bounds = listBounds();
    place(FListBox, bounds);
    FPrevMouseMoveIndex = -1;
    FListBox->show();
    FListBox->raise();
    FListBox->setFocus(Qt::OtherFocusReason);
}

void TDropDownListBox::HideControl()
{
    if (!FListBox)
        return;
    FListBox->hide();
    if (FFilter)
        FFilter->hide();
    if (UseForm() && FDesktop && !FDesktop->isModal())
        FDesktop->hide();
}

bool TDropDownListBox::IsEditMode() const
{
    return (FListBox && !FListBox->isHidden()) || (FFilter && !FFilter->isHidden());
}

void TDropDownListBox::AcceptInput()
{
    if (FFilter && !FFilter->isHidden()) {
        if (const int source = FFilter->CurrentSource(); source >= 0)
            chooseItem(source);
        return;
    }
    QListWidgetItem* row = FListBox ? FListBox->currentItem() : nullptr;
    if (row && row->isSelected())
        chooseItem(row->data(Qt::UserRole).toInt());
}

void TDropDownListBox::mouseMovedTo(const QPoint& position)
{
    const int index = FListBox->indexAt(position).row();
    if (index == FPrevMouseMoveIndex)
        return;
    FPrevMouseMoveIndex = index;
    QString tip;
    if (index >= 0) {
        const QString text = FListBox->item(index)->text();
        if (FListBox->fontMetrics().horizontalAdvance(text) > FListBox->viewport()->width())
            tip = text;
    }
    FListBox->setToolTip(tip);
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(FListBox->viewport()->mapToGlobal(position), tip, FListBox);
}

bool TDropDownListBox::eventFilter(QObject* watched, QEvent* event)
{
    if (!FListBox)
        return false;
    // As with the list: the label stays dropped until its next click.
    if (FFilter && watched == FFilter->SearchLine() && event->type() == QEvent::FocusOut
        && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        Guarded([this] { HideControl(); });
        return false;
    }
    if (watched == FListBox->viewport() && event->type() == QEvent::MouseMove) {
        mouseMovedTo(static_cast<QMouseEvent*>(event)->position().toPoint());
        return false;
    }
    if (watched != FListBox)
        return false;
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
            Guarded([&] { DropUp(key != Qt::Key_Escape); });
            return true;
        }
    }
    // The label stays dropped: its next click closes it without a choice.
    if (event->type() == QEvent::FocusOut
        && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        Guarded([this] { HideControl(); });
    return false;
}

// ---- TDropDownCheckListBox

QListWidget* TDropDownCheckListBox::makeList(QWidget* parent)
{
    auto* list = new TVxCheckListBox(parent);
    list->SetMultiSelect(true);
    list->SetExtendedSelect(true);
    return list;
}

int TDropDownCheckListBox::GetLBWidth(int minWidth, const TStringList& items) const
{
    return TDropDownListBox::GetLBWidth(minWidth, items) + CheckBoxWidth;
}

void TDropDownCheckListBox::ShowControl()
{
    TDropDownListBox::ShowControl();
    if (!FListBox)
        return;
    TStringList chosen;
    chosen.SetCommaText(Value());
    const QStringList& values = Values().Lines();
    for (int row = 0; row < FListBox->count(); ++row) {
        QListWidgetItem* entry = FListBox->item(row);
        const int index = entry->data(Qt::UserRole).toInt();
        entry->setFlags(entry->flags() | Qt::ItemIsUserCheckable);
        entry->setCheckState(chosen.Lines().contains(values[index]) ? Qt::Checked : Qt::Unchecked);
    }
}

void TDropDownCheckListBox::AcceptInput()
{
    if (!FListBox)
        return;
    TStringList values;
    TStringList captions;
    for (int row = 0; row < FListBox->count(); ++row) {
        QListWidgetItem* entry = FListBox->item(row);
        if (entry->checkState() != Qt::Checked)
            continue;
        const int index = entry->data(Qt::UserRole).toInt();
        values.Add(Values()[index]);
        captions.Add(Items()[index]);
    }
    const QPointer<TDropDownCheckListBox> alive(this);
    acceptValue(values.CommaText());
    if (alive)
        setEditorCaption(captions.CommaText());
}

bool TDropDownCheckListBox::eventFilter(QObject* watched, QEvent* event)
{
    // Leaving the check list accepts what is checked.
    if (FListBox && watched == FListBox && event->type() == QEvent::FocusOut
        && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        Guarded([this] {
            if (Dropped())
                DropUp(true);
        });
        return false;
    }
    return TDropDownListBox::eventFilter(watched, event);
}

} // namespace brindle
