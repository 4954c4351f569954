#pragma once
// Labels that offer a list of items to choose from: the captions, their
// values in parallel and named groups of item indexes, all the word's.
// TDropDownPopup opens them as a popup menu (a group is a submenu).

#include <brindle/brindle_widgets_export.h>
#include <brindle/panels/drop_down_label.h>
#include <brindle/panels/popup_menu.h>

#include <QPointer>

namespace brindle {

class BRINDLE_WIDGETS_EXPORT TDropDownList : public TDropDownLabel {
    Q_OBJECT
public:
    TDropDownList(TWordEditor editor, QWidget* parent);

    const TStringList& Items() const { return Word().Items(); }
    const TStringList& Values() const { return Word().Values(); }
    // Whole lists; groups are dropped.
    void SetItems(const TStringList& items);
    void SetValues(const TStringList& values);
    const TItemGroupList& Groups() const { return Word().Groups(); }
    void AddItem(const QString& groupName, const QString& value, const QString& item)
    {
        Word().AddItem(groupName, value, item);
    }
    void AddItems(const QString& groupName, const TStringList& values, const TStringList& items)
    {
        Word().AddItems(groupName, values, items);
    }
    void ClearAll() { Word().ClearAll(); }
    int ItemIndex() const { return Word().ItemIndex(); }
    // Past the items: EDDLabelError "Index out of bounds", nothing changes.
    void SetItemIndex(int index) { Word().SetItemIndex(index); }
    bool SortList() const { return Word().SortList; }
    void SetSortList(bool sorted) { Word().SortList = sorted; }

protected:
    // The first step of every list editor.
    void ShowControl() override;
    // The user chose an item.
    void chooseItem(int index);

private:
    void replaceLists(const TStringList& items, const TStringList& values);
};

class BRINDLE_WIDGETS_EXPORT TDropDownPopup : public TDropDownList {
    Q_OBJECT
public:
    explicit TDropDownPopup(QWidget* parent = nullptr) : TDropDownList(wePopup, parent) {}
    ~TDropDownPopup() override;

    // Entries per column, 0: as many as the screen holds.
    int MaxItemCount() const { return Word().MaxItemCount; }
    void SetMaxItemCount(int count) { Word().MaxItemCount = count; }
    // The menu, made on first use.
    TVxPopupMenu* Menu();
    QWidget* EditControl() override;

protected:
    void CreateControl() override;
    void ShowControl() override;
    void HideControl() override;
    void AcceptInput() override {}
    bool IsEditMode() const override { return Dropped(); }
    void BiDiModeChanged() override;

private:
    // The entry's item, unless the word it was offered for is gone or
    // holds other items now.
    void MenuClick(TVxMenuItem* item, const QString& value);
    // Builds the menu's entries from the groups.
    void fillMenu();

    QPointer<TVxPopupMenu> FMenu;
    const TQueryWord* FMenuWord = nullptr;
};

} // namespace brindle
