#include "pictures.h"

#include <brindle/foundations/date_time.h>
#include <brindle/foundations/errors.h>
#include <brindle/panels/drop_down_edits.h>
#include <brindle/designer/panel_palette.h>
#include <brindle/panels/drop_down_list_box.h>
#include <brindle/panels/filter_list.h>

#include <QApplication>
#include <QDateTimeEdit>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <functional>

namespace brindle {

namespace {

// A sentence of a query panel's row on a white sheet: a field, an
// operator and the label whose editor is shown open.
class Sentence : public QWidget {
public:
    Sentence(const QString& field, const QString& op, QSize size)
    {
        resize(size);
        QPalette shades = palette();
        shades.setColor(QPalette::Window, Qt::white);
        setPalette(shades);
        setAutoFillBackground(true);
        int left = 12;
        for (const QString& caption : {field, op}) {
            auto* word = new TDropDownLabel(this);
            word->SetCaption(caption);
            word->move(left, 12);
            QPalette navy = word->palette();
            navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
            word->setPalette(navy);
            left += word->width() + 8;
        }
        FNext = left;
    }
    // Places a label after the words.
    void place(TDropDownLabel& label)
    {
        label.move(FNext, 12);
        QPalette green = label.palette();
        green.setColor(QPalette::WindowText, QColor(0, 128, 0));
        label.setPalette(green);
    }
    void open()
    {
        show();
        QApplication::processEvents();
    }

private:
    int FNext = 0;
};

void save(const QImage& image, const QString& path)
{
    if (!image.save(path))
        throw Exception(QStringLiteral("Cannot write %s"), {path});
}

// The sheet with an open popup window painted where it stands on the screen.
QImage withPopup(QWidget& sheet, QWidget* popup)
{
    QImage image = sheet.grab().toImage();
    if (!popup)
        return image;
    QPainter painter(&image);
    QWidget* level = popup;
    // The top level and the submenu opened from it.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowFlags().testFlag(Qt::Popup) && window != level)
            painter.drawPixmap(window->pos() - sheet.pos(), window->grab());
    painter.drawPixmap(level->pos() - sheet.pos(), level->grab());
    return image;
}

TStringList texts(std::initializer_list<const char*> items)
{
    TStringList list;
    for (const char* item : items)
        list.Add(QString::fromUtf8(item));
    return list;
}

void renderEdit(const QString& dir)
{
    Sentence sheet(QStringLiteral("Company name"), QStringLiteral("starts with"), {360, 60});
    TDropDownEdit label(&sheet);
    label.SetValue(QStringLiteral("Alfreds"));
    sheet.place(label);
    sheet.open();
    label.DropDown();
    static_cast<QLineEdit*>(label.EditControl())->setCursorPosition(7);
    save(sheet.grab().toImage(), dir + QStringLiteral("/label_edit.png"));
    label.CloseEdit(false);
}

void renderMaskEdit(const QString& dir)
{
    Sentence sheet(QStringLiteral("Phone"), QStringLiteral("is equal to"), {360, 60});
    TDropDownMaskEdit label(&sheet);
    label.SetEditMask(QStringLiteral("(999) 000-0000;_"));
    sheet.place(label);
    sheet.open();
    label.DropDown();
    // Typed as a user types, so that the editor grows as it does then.
    for (QChar digit : QStringLiteral("503555")) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + digit.digitValue(), Qt::NoModifier, QString(digit));
        QApplication::sendEvent(label.EditControl(), &press);
    }
    save(sheet.grab().toImage(), dir + QStringLiteral("/label_mask_edit.png"));
    label.CloseEdit(false);
}

void renderDate(const QString& dir)
{
    Sentence sheet(QStringLiteral("Order date"), QStringLiteral("is after"), {360, 60});
    TDropDownDateTimeEdit label(&sheet);
    label.SetValue(BrDateTimeToStr(EncodeDate(2024, 3, 31)));
    sheet.place(label);
    sheet.open();
    label.DropDown();
    save(sheet.grab().toImage(), dir + QStringLiteral("/label_date.png"));
    label.CloseEdit(false);
}

void renderPopup(const QString& dir)
{
    Sentence sheet(QStringLiteral("Country"), QStringLiteral("is"), {500, 150});
    TDropDownPopup label(&sheet);
    label.SetCaption(QStringLiteral("equal to"));
    label.SetMaxItemCount(4);
    label.AddItems({}, texts({"=", "<>"}), texts({"equal to", "not equal to"}));
    label.AddItems(QStringLiteral("Comparison"), texts({"<", "<=", ">", ">="}),
                   texts({"less than", "less than or equal to", "greater than", "greater than or equal to"}));
    label.AddItems(QStringLiteral("Text"), texts({"sw", "ct", "ew"}), texts({"starts with", "contains", "ends with"}));
    label.AddItems(QStringLiteral("Lists"), texts({"in", "nin"}), texts({"in list", "not in list"}));
    label.AddItems({}, texts({"null", "nnull", "btw"}), texts({"is empty", "is not empty", "between"}));
    sheet.place(label);
    sheet.open();
    QImage image;
    QTimer::singleShot(0, [&] {
        QWidget* menu = QApplication::activePopupWidget();
        if (!menu)
            return;
        // Down the first column and on to "Comparison" in the second; open it.
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down,
                            Qt::Key_Right}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(menu, &press);
        }
        QApplication::processEvents();
        image = withPopup(sheet, menu);
        label.Menu()->CloseMenu();
    });
    label.DropDown();
    save(image, dir + QStringLiteral("/label_popup.png"));
}

// A field word over 12,000 fields in 600 tables, too many for the
// screen's columns: its popup opens as a search, here with "ord date 2024"
// typed and the second match current.
void renderFilteredPopup(const QString& dir, bool dark)
{
    const QPalette before = QApplication::palette();
    if (dark)
        QApplication::setPalette(StandardDarkPalette());
    QWidget sheet;
    sheet.resize(520, 430);
    QPalette shades = sheet.palette();
    if (!dark)
        shades.setColor(QPalette::Window, Qt::white);
    sheet.setPalette(shades);
    sheet.setAutoFillBackground(true);
    TDropDownPopup field(&sheet);
    field.move(12, 12);
    const QStringList tables = {"Orders", "Order lines", "Customers", "Products", "Suppliers", "Shipments",
                                "Invoices", "Payments", "Returns", "Warehouses", "Employees", "Regions"};
    const QStringList columns = {"Order date", "Due date", "Ship date", "Created on", "Changed on", "Amount",
                                 "Quantity", "Unit price", "Discount", "Tax rate", "Status", "Priority",
                                 "Country", "City", "Postal code", "Street", "Phone", "E-mail", "Contact", "Note"};
    int value = 0;
    for (int year = 1975; year < 2025; ++year)
        for (const QString& table : tables)
            for (const QString& column : columns)
                field.AddItem(QStringLiteral("%1 %2").arg(table).arg(year), QString::number(value++), column);
    field.SetValue(QStringLiteral("0"));
    QPalette navy = field.palette();
    navy.setColor(QPalette::WindowText, dark ? QColor(130, 170, 255) : QColor(0, 0, 128));
    field.setPalette(navy);
    auto* op = new TDropDownLabel(&sheet);
    op->SetCaption(QStringLiteral("is after"));
    op->move(field.x() + field.width() + 8, 12);
    sheet.show();
    QApplication::processEvents();
    QImage image;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TFilterList*>(QApplication::activePopupWidget());
        if (!form) {
            field.Menu()->CloseMenu();
            return;
        }
        for (const QChar typed : QStringLiteral("ord date 2024")) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(typed));
            QApplication::sendEvent(form->SearchLine(), &press);
        }
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(form->SearchLine(), &down);
        QApplication::processEvents();
        image = withPopup(sheet, form);
        field.Menu()->CloseMenu();
    });
    field.DropDown();
    QApplication::setPalette(before);
    if (image.isNull())
        throw Exception(QStringLiteral("The field popup did not open as a search"), {});
    save(image, dir + (dark ? QStringLiteral("/label_popup_filter_dark.png") : QStringLiteral("/label_popup_filter.png")));
}

void renderListBox(const QString& dir, bool checks)
{
    Sentence sheet(QStringLiteral("Ship country"), checks ? QStringLiteral("is one of") : QStringLiteral("is"),
                   {380, 230});
    std::unique_ptr<TDropDownListBox> label;
    const TStringList countries =
        texts({"Argentina", "Austria", "Belgium", "Brazil", "Canada", "Denmark", "Finland", "France", "Germany",
               "Ireland", "Italy", "Mexico"});
    if (checks) {
        label = std::make_unique<TDropDownCheckListBox>(&sheet);
        label->AddItems({}, countries, countries);
        label->SetValue(QStringLiteral("Austria,Germany,\"Denmark\""));
    } else {
        label = std::make_unique<TDropDownListBox>(&sheet);
        label->AddItems({}, countries, countries);
        label->SetValue(QStringLiteral("France"));
    }
    sheet.place(*label);
    sheet.open();
    label->DropDown();
    QListWidget* list = label->ListBox();
    list->setCurrentRow(checks ? 5 : 7);
    save(sheet.grab().toImage(), dir + (checks ? QStringLiteral("/label_check_list.png") : QStringLiteral("/label_list_box.png")));
    label->CloseEdit(false);
}

} // namespace

void RenderLabelPictures(const QString& dir)
{
    QDir().mkpath(dir);
    renderEdit(dir);
    renderMaskEdit(dir);
    renderDate(dir);
    renderPopup(dir);
    renderFilteredPopup(dir, false);
    renderFilteredPopup(dir, true);
    renderListBox(dir, false);
    renderListBox(dir, true);
}

} // namespace brindle
