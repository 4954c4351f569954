#pragma once
// The list box editors: a list below the label (or above it, where the
// room below is smaller) on the label's top-level window or on a window of
// its own, and a list of check boxes whose value and caption are comma
// texts. A list taller than its window (or, on a window of its own, the
// smallest screen) opens as a search line over a filtered list in the same
// place (TFilterList); check lists always show every row.

#include <brindle/brindle_widgets_export.h>
#include <brindle/panels/drop_down_list.h>
#include <brindle/panels/filter_list.h>

#include <QListWidget>
#include <QPointer>

namespace brindle {

// A check list box: Space toggles every selected row.
class BRINDLE_WIDGETS_EXPORT TVxCheckListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TVxCheckListBox(QWidget* parent = nullptr);
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool on);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool on);
    bool Checked(int row) const;
    void SetChecked(int row, bool checked);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void updateSelectionMode();
    bool FExtendedSelect = true;
    bool FMultiSelect = false;
};

class BRINDLE_WIDGETS_EXPORT TDropDownCustomListBox : public TDropDownList {
    Q_OBJECT
public:
    using TDropDownList::TDropDownList;
    ~TDropDownCustomListBox() override;

    // A window of its own for the list (it may leave the label's window).
    bool UseForm() const { return FUseForm; }
    void SetUseForm(bool on) { FUseForm = on; }
    // The window that shows the list.
    QWidget* Desktop() const { return FDesktop; }
    // A point of the label's parent in the desktop's coordinates (the
    // screen's with a window of its own).
    QPoint ClientToDesktop(const QPoint& point) const;

protected:
    virtual void CreateDesktop();

    QPointer<QWidget> FDesktop;
    int FOffsetX = 0;
    int FOffsetY = 0;

private:
    bool FUseForm = false;
    bool FOwnsDesktop = false;
};

class BRINDLE_WIDGETS_EXPORT TDropDownListBox : public TDropDownCustomListBox {
    Q_OBJECT
public:
    explicit TDropDownListBox(QWidget* parent = nullptr) : TDropDownListBox(weListBox, parent) {}
    ~TDropDownListBox() override;
    QWidget* EditControl() override;
    QListWidget* ListBox() const { return FListBox; }
    // The search form, once a list too tall for its window has opened.
    TFilterList* FilterList() const { return FFilter; }

protected:
    TDropDownListBox(TWordEditor editor, QWidget* parent) : TDropDownCustomListBox(editor, parent) {}

    void CreateControl() override;
    void ShowControl() override;
    void HideControl() override;
    void AcceptInput() override;
    bool IsEditMode() const override;
    void BiDiModeChanged() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The widest of the label and the items, with room for the frame and
    // a scroll bar.
    virtual int GetLBWidth(int minWidth, const TStringList& items) const;
    virtual void SetListSorted(bool sorted);
    virtual int GetListItemHeight() const;
    // The list widget to make; a check list makes check boxes.
    virtual QListWidget* makeList(QWidget* parent);
    virtual void fillList();
    // Where the list goes: below the label, above it, or squeezed.
    QRect listBounds() const;
    // Where a list of that width and height goes.
    QRect listBounds(int width, int height) const;
    // Whether a list too tall for its window is searched instead.
    virtual bool OffersFilter() const { return true; }

    QPointer<QListWidget> FListBox;
    int FPrevMouseMoveIndex = -1;

private:
    void mouseMovedTo(const QPoint& position);
    // The height the list may take: its window's, or the smallest screen's.
    int availableHeight() const;
    // Fills the list unless it would be taller than its window.
    bool fillIfItFits();
    void showFilter();
    // Sets the list or the search form at the bounds, on the form of its own when used.
    void place(QWidget* shown, const QRect& bounds);

    QPointer<TFilterList> FFilter;
};

class BRINDLE_WIDGETS_EXPORT TDropDownCheckListBox : public TDropDownListBox {
    Q_OBJECT
public:
    explicit TDropDownCheckListBox(QWidget* parent = nullptr) : TDropDownListBox(weCheckList, parent) {}
    TVxCheckListBox* CheckListBox() const { return static_cast<TVxCheckListBox*>(FListBox.data()); }

protected:
    void ShowControl() override;
    void AcceptInput() override;
    int GetLBWidth(int minWidth, const TStringList& items) const override;
    QListWidget* makeList(QWidget* parent) override;
    bool OffersFilter() const override { return false; }
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace brindle
