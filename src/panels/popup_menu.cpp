#include <brindle/panels/popup_menu.h>

#include <brindle/panels/event_guard.h>
#include <brindle/panels/filter_list.h>
#include <brindle/panels/system_metrics.h>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include <algorithm>

namespace brindle {

namespace {

constexpr int Frame = 2;
constexpr int LineHeight = 8;
constexpr int TextPadding = 12;
constexpr int IconArea = 22;
constexpr int PlainIndent = 8;
constexpr int ArrowArea = 16;
constexpr int BarGap = 5;
constexpr int FilterRows = 20;

int entryHeight(const QFontMetrics& metrics)
{
    return metrics.height() + 4;
}

QRect availableAt(const QPoint& point)
{
    QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// Shows a popup window at the point (its top-right corner there right to
// left), kept on the screen; one that would leave the screen at the side
// opens on the other side of otherSideX when that is given.
void openOnScreen(QWidget* window, QPoint at, int otherSideX)
{
    const QRect screen = availableAt(at);
    const int width = window->width();
    const int height = window->height();
    if (window->layoutDirection() == Qt::RightToLeft)
        at.rx() -= width;
    if (at.x() + width > screen.right() + 1)
        at.setX(otherSideX >= 0 ? otherSideX - width : screen.right() + 1 - width);
    at.setX(std::max(at.x(), screen.left()));
    if (at.y() + height > screen.bottom() + 1)
        at.setY(screen.bottom() + 1 - height);
    at.setY(std::max(at.y(), screen.top()));
    window->move(at);
    window->show();
    window->setFocus(Qt::PopupFocusReason);
}

// Whether a level, laid out as its window would lay it out, fits the
// screen: each column measured by its longest caption, the frame left out
// of the height (the column fitting fills the screen's height with entries
// alone), and the level given up on as soon as it passes the width.
// Measuring every caption of every level would cost more than showing the
// menu.
bool levelFits(const TVxMenuItem& level, const QFontMetrics& metrics, int indent, QSize screen)
{
    int width = 2 * Frame;
    int height = 0;
    const TVxMenuItem* longest = nullptr;
    bool submenus = false;
    const auto closeColumn = [&] {
        width += indent + metrics.horizontalAdvance(longest->ShownCaption()) + TextPadding + (submenus ? ArrowArea : 0);
        longest = nullptr;
        submenus = false;
        height = 0;
    };
    for (int i = 0; i < level.Count(); ++i) {
        const TVxMenuItem* item = level.Items(i);
        if (longest && item->Break != mbNone) {
            closeColumn();
            if (item->Break == mbBarBreak)
                width += BarGap;
            if (width > screen.width())
                return false;
        }
        height += item->IsLine() ? LineHeight : entryHeight(metrics);
        if (height > screen.height())
            return false;
        if (!longest || item->Caption.size() > longest->Caption.size())
            longest = item;
        submenus = submenus || item->Count() > 0;
    }
    if (longest)
        closeColumn();
    return width <= screen.width();
}

void resetBreaks(TVxMenuItem& level)
{
    for (int i = 0; i < level.Count(); ++i) {
        level.Items(i)->Break = mbNone;
        resetBreaks(*level.Items(i));
    }
}

} // namespace

TVxMenuItem* TVxMenuItem::Add(const QString& caption)
{
    auto item = std::make_unique<TVxMenuItem>();
    item->Caption = caption;
    return FItems.GetItem(FItems.Add(std::move(item)));
}

QString TVxMenuItem::ShownCaption() const
{
    QString shown;
    shown.reserve(Caption.size());
    for (int i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == u'&' && i + 1 < Caption.size())
            ++i;
        else if (Caption[i] == u'&')
            continue;
        shown += Caption[i];
    }
    return shown;
}

QChar TVxMenuItem::AccelKey() const
{
    for (int i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != u'&')
            continue;
        if (Caption[i + 1] != u'&')
            return Caption[i + 1].toLower();
        ++i;
    }
    return {};
}

namespace {
void installMenuAccessibility();
} // namespace

// One open level of a menu: its entries in columns, the current entry, and
// the submenu open from it.
class PopupMenuWindow : public QWidget {
    Q_OBJECT
public:
    PopupMenuWindow(TVxPopupMenu& menu, TVxMenuItem& level, PopupMenuWindow* parentLevel)
        : QWidget(parentLevel, Qt::Popup | Qt::FramelessWindowHint), FMenu(menu), FLevel(level), FParentLevel(parentLevel)
    {
        installMenuAccessibility();
        setAttribute(Qt::WA_DeleteOnClose, false);
        setMouseTracking(true);
        setFont(TVxSystemMetrics::Instance().MenuFont());
        setLayoutDirection(menu.BiDiMode());
        layOut();
    }
    // Assistive technology asking while the widget part goes finds no entries.
    ~PopupMenuWindow() override { FEntries.clear(); }

    // What the accessible face reads and does.
    int entryCount() const { return static_cast<int>(FEntries.size()); }
    const TVxMenuItem& entryItem(int index) const { return *FEntries[index].item; }
    QRect entryRect(int index) const { return FEntries[index].rect; }
    int current() const { return FCurrent; }
    bool submenuOpenFrom(int index) const { return FSubmenu && index == FCurrent; }
    // As a click on the entry.
    void press(int index)
    {
        setCurrent(index);
        activate(index);
    }
    void showSubmenu(int index)
    {
        setCurrent(index);
        openSubmenu(index, true);
    }

    // Places the window at the point, kept on the screen; a submenu that
    // would leave the screen opens on the other side of its parent.
    void openAt(QPoint at, int otherSideX)
    {
        openOnScreen(this, at, otherSideX);
    }

    void closeChain()
    {
        closeSubmenu();
        close();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Base));
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        for (const QLine& bar : FBars)
            painter.drawLine(bar);
        for (int i = 0; i < FEntries.size(); ++i)
            paintEntry(painter, FEntries[i], i == FCurrent);
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        const QPoint global = event->globalPosition().toPoint();
        if (!rect().contains(event->position().toPoint()) && FParentLevel) {
            FParentLevel->hoverAt(global);
            return;
        }
        hoverAt(global);
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        const int index = entryAt(event->position().toPoint());
        if (index >= 0)
            Guarded([&] { activate(index); });
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        Guarded([&] { handleKey(event); });
    }

    void hideEvent(QHideEvent* event) override
    {
        QWidget::hideEvent(event);
        closeSubmenu();
        if (FParentLevel && FParentLevel->FSubmenu == this)
            FParentLevel->FSubmenu = nullptr;
    }

private:
    struct Entry {
        TVxMenuItem* item;
        QRect rect;
        int column;
    };

    void layOut()
    {
        const QFontMetrics metrics(font());
        const bool icons = FMenu.Images() && !FMenu.Images()->isEmpty();
        const int indent = icons ? IconArea : PlainIndent;
        const auto columns = TVxPopupMenu::Columns(FLevel);
        int x = Frame;
        int tallest = 0;
        for (int c = 0; c < columns.size(); ++c) {
            if (c > 0 && columns[c].first()->Break == mbBarBreak) {
                FBars.append(QLine());
                FBars.last().setP1(QPoint(x + BarGap / 2, Frame));
                x += BarGap;
            }
            int widest = 0;
            bool submenus = false;
            for (TVxMenuItem* item : columns[c]) {
                widest = std::max(widest, metrics.horizontalAdvance(item->ShownCaption()));
                submenus = submenus || item->Count() > 0;
            }
            const int width = indent + widest + TextPadding + (submenus ? ArrowArea : 0);
            int y = Frame;
            for (TVxMenuItem* item : columns[c]) {
                const int height = item->IsLine() ? LineHeight : entryHeight(metrics);
                FEntries.append({item, QRect(x, y, width, height), c});
                y += height;
            }
            tallest = std::max(tallest, y);
            x += width;
        }
        for (QLine& bar : FBars)
            bar.setP2(QPoint(bar.x1(), tallest - 1));
        resize(std::max(x + Frame, 40), std::max(tallest + Frame, entryHeight(metrics) + 2 * Frame));
        if (layoutDirection() == Qt::RightToLeft)
            mirror();
    }

    void mirror()
    {
        for (Entry& entry : FEntries)
            entry.rect.moveLeft(width() - entry.rect.right() - 1);
        for (QLine& bar : FBars)
            bar = QLine(width() - 1 - bar.x1(), bar.y1(), width() - 1 - bar.x2(), bar.y2());
    }

    void paintEntry(QPainter& painter, const Entry& entry, bool current)
    {
        const QRect& box = entry.rect;
        if (entry.item->IsLine()) {
            painter.setPen(palette().color(QPalette::Mid));
            const int middle = box.center().y();
            painter.drawLine(box.left() + 4, middle, box.right() - 4, middle);
            return;
        }
        const bool rtl = layoutDirection() == Qt::RightToLeft;
        if (current)
            painter.fillRect(box, palette().color(QPalette::Highlight));
        const QColor text = palette().color(current ? QPalette::HighlightedText : QPalette::Text);
        const bool icons = FMenu.Images() && !FMenu.Images()->isEmpty();
        const int indent = icons ? IconArea : PlainIndent;
        if (icons && entry.item->ImageIndex >= 0 && entry.item->ImageIndex < FMenu.Images()->size()) {
            const QRect iconBox(rtl ? box.right() - IconArea + 3 : box.left() + 3, box.top() + (box.height() - 16) / 2,
                                16, 16);
            FMenu.Images()->at(entry.item->ImageIndex).paint(&painter, iconBox);
        }
        painter.setPen(text);
        const QRect textBox = box.adjusted(rtl ? 0 : indent, 0, rtl ? -indent : 0, 0);
        painter.drawText(textBox, Qt::AlignVCenter | Qt::AlignLeading | Qt::TextShowMnemonic, entry.item->Caption);
        if (entry.item->Count() > 0) {
            const int tipX = rtl ? box.left() + 6 : box.right() - 6;
            const int baseX = rtl ? tipX + 4 : tipX - 4;
            const int middle = box.center().y();
            QPainterPath arrow;
            arrow.moveTo(baseX, middle - 4);
            arrow.lineTo(tipX, middle);
            arrow.lineTo(baseX, middle + 4);
            arrow.closeSubpath();
            painter.fillPath(arrow, text);
        }
    }

    int entryAt(const QPoint& point) const
    {
        for (int i = 0; i < FEntries.size(); ++i)
            if (FEntries[i].rect.contains(point) && !FEntries[i].item->IsLine())
                return i;
        return -1;
    }

    void hoverAt(const QPoint& global)
    {
        const int index = entryAt(mapFromGlobal(global));
        if (index < 0 || index == FCurrent)
            return;
        setCurrent(index);
        if (FEntries[index].item->Count() > 0)
            openSubmenu(index, false);
        else
            closeSubmenu();
        if (isHidden())
            return;
        activateWindow();
    }

    void setCurrent(int index)
    {
        const bool moved = index != FCurrent;
        FCurrent = index;
        update();
        if (moved && index >= 0 && isVisible()) {
            QAccessibleEvent focus(this, QAccessible::Focus);
            focus.setChild(index);
            QAccessible::updateAccessibility(&focus);
        }
    }

    void openSubmenu(int index, bool selectFirst)
    {
        closeSubmenu();
        const Entry& entry = FEntries[index];
        auto* submenu = new PopupMenuWindow(FMenu, *entry.item, this);
        FSubmenu = submenu;
        const bool rtl = layoutDirection() == Qt::RightToLeft;
        const QPoint corner = mapToGlobal(rtl ? entry.rect.topLeft() : entry.rect.topRight() + QPoint(1, 0));
        submenu->openAt(corner - QPoint(0, Frame), mapToGlobal(QPoint(0, 0)).x());
        if (selectFirst)
            submenu->step(1);
    }

    void closeSubmenu()
    {
        if (!FSubmenu)
            return;
        PopupMenuWindow* submenu = FSubmenu;
        FSubmenu = nullptr;
        submenu->closeChain();
        submenu->deleteLater();
    }

    void activate(int index)
    {
        TVxMenuItem* item = FEntries[index].item;
        if (item->Count() > 0) {
            setCurrent(index);
            openSubmenu(index, true);
            return;
        }
        FMenu.choose(item);
    }

    // Moves the current entry by one, past separator lines, wrapping round.
    void step(int by)
    {
        if (FEntries.isEmpty())
            return;
        const int count = static_cast<int>(FEntries.size());
        // Without a current entry the first step lands on the first or last.
        int index = FCurrent >= 0 ? FCurrent : (by > 0 ? count - 1 : 0);
        for (int tries = 0; tries < count; ++tries) {
            index = (index + by + count) % count;
            if (!FEntries[index].item->IsLine()) {
                setCurrent(index);
                return;
            }
        }
    }

    // The entry in the neighbouring column nearest to the current row.
    void stepColumn(int by)
    {
        if (FCurrent < 0)
            return;
        const Entry& from = FEntries[FCurrent];
        int best = -1;
        for (int i = 0; i < FEntries.size(); ++i) {
            if (FEntries[i].column != from.column + by || FEntries[i].item->IsLine())
                continue;
            if (best < 0 || std::abs(FEntries[i].rect.top() - from.rect.top())
                                < std::abs(FEntries[best].rect.top() - from.rect.top()))
                best = i;
        }
        if (best >= 0)
            setCurrent(best);
    }

    void handleKey(QKeyEvent* event)
    {
        const bool rtl = layoutDirection() == Qt::RightToLeft;
        int key = event->key();
        if (rtl && (key == Qt::Key_Left || key == Qt::Key_Right))
            key = key == Qt::Key_Left ? Qt::Key_Right : Qt::Key_Left;
        switch (key) {
        case Qt::Key_Down:
            step(1);
            return;
        case Qt::Key_Up:
            step(-1);
            return;
        case Qt::Key_Right:
            if (FCurrent >= 0 && FEntries[FCurrent].item->Count() > 0)
                openSubmenu(FCurrent, true);
            else
                stepColumn(1);
            return;
        case Qt::Key_Left:
            if (FCurrent >= 0 && FEntries[FCurrent].column > 0)
                stepColumn(-1);
            else if (FParentLevel)
                close();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (FCurrent >= 0)
                activate(FCurrent);
            return;
        case Qt::Key_Escape:
            close();
            return;
        default:
            break;
        }
        const QString text = event->text();
        if (text.isEmpty())
            return;
        for (int i = 0; i < FEntries.size(); ++i) {
            if (FEntries[i].item->AccelKey() == text[0].toLower()) {
                setCurrent(i);
                activate(i);
                return;
            }
        }
    }

    TVxPopupMenu& FMenu;
    TVxMenuItem& FLevel;
    PopupMenuWindow* FParentLevel;
    PopupMenuWindow* FSubmenu = nullptr;
    QList<Entry> FEntries;
    QList<QLine> FBars;
    int FCurrent = -1;
};

namespace {

// One entry of an open level: its shown caption, its place on the screen,
// and a press that does what a click does. Separator lines are listed too,
// so the children's indexes are the entries'.
class MenuEntryAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    MenuEntryAccessible(PopupMenuWindow* window, int index) : FWindow(window), FIndex(index) {}

    bool isValid() const override { return FWindow && FIndex < FWindow->entryCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return FWindow ? FWindow->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(FWindow.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }

    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name || !isValid() || item().IsLine())
            return {};
        return item().ShownCaption().trimmed();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect local = FWindow->entryRect(FIndex);
        return {FWindow->mapToGlobal(local.topLeft()), local.size()};
    }
    QAccessible::Role role() const override
    {
        return isValid() && item().IsLine() ? QAccessible::Separator : QAccessible::MenuItem;
    }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        if (item().IsLine())
            return state;
        state.focusable = true;
        state.selectable = true;
        const bool current = FWindow->current() == FIndex;
        state.focused = current;
        state.selected = current;
        state.active = current;
        state.hasPopup = item().Count() > 0;
        state.expanded = FWindow->submenuOpenFrom(FIndex);
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override
    {
        if (!isValid() || item().IsLine())
            return {};
        if (item().Count() > 0)
            return {pressAction(), showMenuAction()};
        return {pressAction()};
    }
    void doAction(const QString& name) override
    {
        if (!actionNames().contains(name))
            return;
        // The window may go while the choice runs: it is read once.
        PopupMenuWindow* window = FWindow;
        const int index = FIndex;
        Guarded([&] { name == showMenuAction() ? window->showSubmenu(index) : window->press(index); });
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    const TVxMenuItem& item() const { return FWindow->entryItem(FIndex); }

    QPointer<PopupMenuWindow> FWindow;
    int FIndex;
};

// An open level as a popup menu whose children are its entries. The
// entries' faces are made on first asking, kept in the registry so a
// bridge may hold their ids, and unregistered when the window goes.
class PopupMenuAccessible : public QAccessibleWidget {
public:
    explicit PopupMenuAccessible(PopupMenuWindow* window) : QAccessibleWidget(window, QAccessible::PopupMenu) {}
    ~PopupMenuAccessible() override
    {
        for (QAccessible::Id id : std::as_const(FChildren))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return menu() ? menu()->entryCount() : 0; }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (const auto found = FChildren.constFind(index); found != FChildren.cend())
            return QAccessible::accessibleInterface(*found);
        auto* entry = new MenuEntryAccessible(menu(), index);
        FChildren.insert(index, QAccessible::registerAccessibleInterface(entry));
        return entry;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (auto at = FChildren.cbegin(); at != FChildren.cend(); ++at)
            if (QAccessible::accessibleInterface(at.value()) == child)
                return at.key();
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (QAccessibleInterface* entry = child(i); entry->rect().contains(x, y))
                return entry;
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        return menu() && menu()->current() >= 0 ? child(menu()->current()) : nullptr;
    }

private:
    PopupMenuWindow* menu() const { return static_cast<PopupMenuWindow*>(widget()); }

    mutable QHash<int, QAccessible::Id> FChildren;
};

QAccessibleInterface* menuAccessibleFor(const QString&, QObject* object)
{
    if (auto* window = qobject_cast<PopupMenuWindow*>(object))
        return new PopupMenuAccessible(window);
    return nullptr;
}

void installMenuAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(menuAccessibleFor);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace

TVxPopupMenu::TVxPopupMenu(QObject* parent) : QObject(parent) {}

TVxPopupMenu::~TVxPopupMenu()
{
    delete FRoot.data();
}

int TVxPopupMenu::EntriesPerColumn(int screenHeight)
{
    const QFontMetrics metrics(TVxSystemMetrics::Instance().MenuFont());
    return std::max(1, screenHeight / entryHeight(metrics));
}

void TVxPopupMenu::FitColumns(int perColumn)
{
    perColumn = std::max(1, perColumn);
    resetBreaks(FItems);
    const std::function<void(TVxMenuItem&)> split = [&](TVxMenuItem& level) {
        const int count = level.Count();
        if (count == 0)
            return;
        if (FPopupSplitType == pstFillFirst) {
            for (int at = perColumn; at < count; at += perColumn)
                level.Items(at)->Break = FBreakType;
        } else {
            const int columns = count / perColumn + 1;
            const int length = (count + columns - 1) / columns;
            for (int k = 1; k < columns && length * k < count; ++k)
                level.Items(length * k)->Break = FBreakType;
        }
        for (int i = 0; i < count; ++i)
            split(*level.Items(i));
    };
    split(FItems);
}

QList<QList<TVxMenuItem*>> TVxPopupMenu::Columns(const TVxMenuItem& level)
{
    QList<QList<TVxMenuItem*>> columns;
    for (int i = 0; i < level.Count(); ++i) {
        TVxMenuItem* item = level.Items(i);
        if (columns.isEmpty() || (item->Break != mbNone && !columns.last().isEmpty()))
            columns.append(QList<TVxMenuItem*>());
        columns.last().append(item);
    }
    return columns;
}

bool TVxPopupMenu::FitsScreen(QSize screen) const
{
    const QFontMetrics metrics(TVxSystemMetrics::Instance().MenuFont());
    const int indent = FImages && !FImages->isEmpty() ? IconArea : PlainIndent;
    const std::function<bool(const TVxMenuItem&)> fits = [&](const TVxMenuItem& level) {
        if (level.Count() == 0)
            return true;
        if (!levelFits(level, metrics, indent, screen))
            return false;
        for (int i = 0; i < level.Count(); ++i)
            if (!level.Items(i)->IsLine() && !fits(*level.Items(i)))
                return false;
        return true;
    };
    return fits(FItems);
}

QWidget* TVxPopupMenu::makeFilterWindow(const QRect& screen)
{
    // Every entry that a click chooses, with the submenus it lies in as its
    // group; lines and what hangs from them are never chosen.
    FLeaves.clear();
    std::vector<TFilterEntry> entries;
    const std::function<void(TVxMenuItem&, const QString&)> collect = [&](TVxMenuItem& level, const QString& group) {
        for (int i = 0; i < level.Count(); ++i) {
            TVxMenuItem* item = level.Items(i);
            if (item->IsLine())
                continue;
            if (item->Count() > 0) {
                const QString name = item->ShownCaption();
                collect(*item, group.isEmpty() ? name : group + QStringLiteral(" / ") + name);
                continue;
            }
            entries.push_back({item->ShownCaption(), group, static_cast<int>(FLeaves.size()), item->ImageIndex});
            FLeaves.push_back(item);
        }
    };
    collect(FItems, {});
    auto* window = new TFilterList(nullptr, Qt::Popup | Qt::FramelessWindowHint);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->setFont(TVxSystemMetrics::Instance().MenuFont());
    window->setLayoutDirection(FBiDiMode);
    window->Model().SetImages(FImages);
    window->Model().SetEntries(std::move(entries));
    connect(window, &TFilterList::chosen, this, [this](int source) { choose(FLeaves[source]); });
    connect(window, &TFilterList::cancelled, this, &TVxPopupMenu::CloseMenu);
    // Wide enough for a caption and its group, high enough for a screenful
    // of rows at most, whatever the filter leaves.
    const QFontMetrics metrics(window->font());
    const int width = std::min(screen.width(), std::max(360, 60 * metrics.averageCharWidth()));
    const int rows = std::clamp((screen.height() * 2 / 3) / (metrics.height() + 4), 5, FilterRows);
    window->resize(width, std::min(screen.height(), window->HeightFor(rows)));
    return window;
}

void TVxPopupMenu::Popup(int x, int y)
{
    CloseMenu();
    const QRect screen = availableAt(QPoint(x, y));
    if (FFitToScreen)
        FitColumns(EntriesPerColumn(screen.height()));
    FChosen = nullptr;
    // Columns past the screen's width cannot be read: such a menu is
    // searched instead.
    QWidget* root = FitsScreen(screen.size()) ? static_cast<QWidget*>(new PopupMenuWindow(*this, FItems, nullptr))
                                               : makeFilterWindow(screen);
    FRoot = root;
    QEventLoop loop;
    root->installEventFilter(this);
    connect(this, &TVxPopupMenu::closed, &loop, &QEventLoop::quit);
    openOnScreen(root, QPoint(x, y), -1);
    // The menu may go with its owner while it is open.
    const QPointer<TVxPopupMenu> alive(this);
    if (!root->isHidden())
        loop.exec();
    if (!alive)
        return;
    root->removeEventFilter(this);
    delete root;
    FLeaves.clear();
    if (TVxMenuItem* chosen = std::exchange(FChosen, nullptr); chosen && chosen->OnClick)
        chosen->OnClick(chosen);
}

bool TVxPopupMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FRoot && event->type() == QEvent::Hide)
        emit closed();
    return false;
}

void TVxPopupMenu::CloseMenu()
{
    if (auto* menu = qobject_cast<PopupMenuWindow*>(FRoot.data()))
        menu->closeChain();
    else if (FRoot)
        FRoot->close();
}

void TVxPopupMenu::choose(TVxMenuItem* item)
{
    FChosen = item;
    CloseMenu();
}

} // namespace brindle

#include "popup_menu.moc"
