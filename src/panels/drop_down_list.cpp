#include <brindle/panels/drop_down_list.h>

namespace brindle {

namespace {

QString doubledAmpersands(QString text)
{
    return text.replace(u'&', QStringLiteral("&&"));
}

} // namespace

TDropDownList::TDropDownList(TWordEditor editor, QWidget* parent) : TDropDownLabel(editor, parent) {}

void TDropDownList::replaceLists(const TStringList& items, const TStringList& values)
{
    auto lists = std::make_shared<WordItems>();
    lists->Items = items;
    lists->Values = values;
    Word().LoadItems(std::move(lists));
}

void TDropDownList::SetItems(const TStringList& items)
{
    replaceLists(items, Values());
}

void TDropDownList::SetValues(const TStringList& values)
{
    replaceLists(Items(), values);
}

void TDropDownList::ShowControl()
{
    Word().EnsureDefaultGroup();
}

void TDropDownList::chooseItem(int index)
{
    // A row's word takes the choice through its query; a word of its own
    // takes the item with its caption.
    if (Word().Row() || ChoiceOnly()) {
        acceptValue(Values()[index]);
        return;
    }
    const QString value = Values()[index];
    SetItemIndex(index);
    valueApplied(value);
}

TDropDownPopup::~TDropDownPopup()
{
    // An open menu ends with its label.
    if (FMenu)
        FMenu->CloseMenu();
}

TVxPopupMenu* TDropDownPopup::Menu()
{
    ensureControl();
    return FMenu;
}

QWidget* TDropDownPopup::EditControl()
{
    TVxPopupMenu* menu = Menu();
    return menu ? menu->OpenWindow() : nullptr;
}

void TDropDownPopup::CreateControl()
{
    FMenu = new TVxPopupMenu(this);
    FMenu->SetFitToScreen(MaxItemCount() == 0);
    FMenu->SetBiDiMode(layoutDirection());
}

void TDropDownPopup::BiDiModeChanged()
{
    if (FMenu)
        FMenu->SetBiDiMode(layoutDirection());
}

void TDropDownPopup::fillMenu()
{
    TVxMenuItem& root = FMenu->Items();
    root.Clear();
    FMenuWord = &Word();
    FMenu->SetImages(Images());
    const int limit = MaxItemCount();
    // Entries counted per level: a column ends after `limit` of them.
    const auto place = [limit](TVxMenuItem* entry, int& count) {
        if (limit >= 1 && ++count > limit) {
            entry->Break = mbBarBreak;
            count = 1;
        }
    };
    int topCount = 0;
    for (const auto& group : Groups()) {
        TVxMenuItem* level = &root;
        int groupCount = 0;
        int* count = &topCount;
        if (!group->GroupName().isEmpty()) {
            level = root.Add(doubledAmpersands(group->GroupName()));
            if (!level->IsLine())
                level->ImageIndex = DoGetGroupImageIndex(group->GroupName());
            place(level, topCount);
            count = &groupCount;
        }
        for (int index : group->Indexes) {
            if (index < 0 || index >= Items().Count())
                continue;
            const QString& caption = Items()[index];
            TVxMenuItem* entry = level->Add(doubledAmpersands(caption));
            if (!entry->IsLine())
                entry->ImageIndex = DoGetItemImageIndex(group->GroupName(), caption);
            entry->Tag = index;
            const QString value = index < Values().Count() ? Values()[index] : QString();
            entry->OnClick = [this, value](TVxMenuItem* item) { MenuClick(item, value); };
            place(entry, *count);
        }
    }
}

void TDropDownPopup::ShowControl()
{
    TDropDownList::ShowControl();
    // Without a parent there is nowhere to show an editor.
    if (!ensureControl()) {
        DropUp(false);
        return;
    }
    fillMenu();
    const QPoint corner = IsRightToLeft() ? rect().bottomRight() + QPoint(1, 1) : rect().bottomLeft() + QPoint(0, 1);
    const QPoint at = mapToGlobal(corner);
    const QPointer<TDropDownPopup> alive(this);
    FMenu->Popup(at.x(), at.y());
    // Closed without a choice (unless the label went while it was open).
    if (alive && Dropped())
        DropUp(false);
}

void TDropDownPopup::MenuClick(TVxMenuItem* item, const QString& value)
{
    // The host may remake the rows while the menu is open: the label then
    // shows another word, or its own.
    const int index = item->Tag;
    if (&Word() != FMenuWord || index >= Values().Count() || Values()[index] != value) {
        DropUp(false);
        return;
    }
    chooseItem(index);
    DropUp(true);
}

void TDropDownPopup::HideControl()
{
    if (FMenu)
        FMenu->CloseMenu();
}

} // namespace brindle
