#pragma once
// TVxPopupMenu: a popup menu whose entries can start new columns. A level
// with more entries than fit on the screen is split into columns, either
// full columns first or columns of balanced length; an entry's Break says
// where a column starts, and a bar break draws a line between columns.
// Popup shows the menu and returns when it has closed, after the chosen
// entry's OnClick ran. A menu whose columns would not fit on the screen
// shows a search line over a list of its entries instead.

#include <brindle/brindle_widgets_export.h>
#include <brindle/foundations/object_list.h>
#include <brindle/panels/drop_down_label.h>

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

namespace brindle {

enum TVxPopupSplitType { pstBalanced, pstFillFirst };
enum TMenuBreak { mbNone, mbBreak, mbBarBreak };

class TVxMenuItem;
using TMenuClickEvent = std::function<void(TVxMenuItem* item)>;

// One entry; an entry with entries of its own opens a submenu. The
// caption "-" is a separator line; "&" marks the next character as the
// entry's key and "&&" shows an ampersand.
class BRINDLE_WIDGETS_EXPORT TVxMenuItem {
public:
    TVxMenuItem() = default;
    TVxMenuItem(const TVxMenuItem&) = delete;
    TVxMenuItem& operator=(const TVxMenuItem&) = delete;

    QString Caption;
    int ImageIndex = -1;
    int Tag = 0;
    TMenuBreak Break = mbNone;
    TMenuClickEvent OnClick;

    int Count() const { return FItems.Count(); }
    TVxMenuItem* Items(int index) const { return FItems.GetItem(index); }
    TVxMenuItem* Add(const QString& caption);
    void Clear() { FItems.Clear(); }
    bool IsLine() const { return Caption == QStringLiteral("-"); }
    // The caption as shown: ampersands that mark keys dropped, doubled ones single.
    QString ShownCaption() const;
    // The character after a single "&", or none.
    QChar AccelKey() const;

private:
    TVxObjectList<TVxMenuItem> FItems;
};

class BRINDLE_WIDGETS_EXPORT TVxPopupMenu : public QObject {
    Q_OBJECT
public:
    explicit TVxPopupMenu(QObject* parent = nullptr);
    ~TVxPopupMenu() override;

    TVxMenuItem& Items() { return FItems; }
    TMenuBreak BreakType() const { return FBreakType; }
    void SetBreakType(TMenuBreak type) { FBreakType = type; }
    TVxPopupSplitType PopupSplitType() const { return FPopupSplitType; }
    void SetPopupSplitType(TVxPopupSplitType type) { FPopupSplitType = type; }
    bool FitToScreen() const { return FFitToScreen; }
    void SetFitToScreen(bool fit) { FFitToScreen = fit; }
    const TImageList* Images() const { return FImages; }
    void SetImages(const TImageList* images) { FImages = images; }
    Qt::LayoutDirection BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(Qt::LayoutDirection mode) { FBiDiMode = mode; }

    // Shows the menu with its top-left corner (top-right right to left) at
    // the screen point and returns once it has closed.
    void Popup(int x, int y);
    // Ends an open menu without a choice.
    void CloseMenu();
    bool IsOpen() const { return !FRoot.isNull(); }
    // The open menu's top level (for tests and pictures); none when closed.
    QWidget* OpenWindow() const { return FRoot; }

    // Column breaks for the screen: every break in the tree is reset, then
    // each level is split into columns of at most perColumn entries.
    void FitColumns(int perColumn);
    // The entries of a level, column by column, as their breaks place them.
    static QList<QList<TVxMenuItem*>> Columns(const TVxMenuItem& level);
    // How many entries fit in one column of the given height.
    static int EntriesPerColumn(int screenHeight);
    // Whether every level, as its breaks place it, fits on a screen of that
    // size. One that does not opens as a search line over a list of every
    // entry a click could choose (TFilterList), whose choice runs the
    // entry's OnClick as a click would.
    bool FitsScreen(QSize screen) const;

signals:
    // The open menu has closed, chosen or not.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class PopupMenuWindow;
    void choose(TVxMenuItem* item);
    QWidget* makeFilterWindow(const QRect& screen);

    TVxMenuItem FItems;
    TMenuBreak FBreakType = mbBarBreak;
    TVxPopupSplitType FPopupSplitType = pstBalanced;
    bool FFitToScreen = true;
    const TImageList* FImages = nullptr;
    Qt::LayoutDirection FBiDiMode = Qt::LeftToRight;
    QPointer<QWidget> FRoot;
    TVxMenuItem* FChosen = nullptr;
    // The entries the open search list offers, by their number there.
    std::vector<TVxMenuItem*> FLeaves;
};

} // namespace brindle
