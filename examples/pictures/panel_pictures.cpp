#include "pictures.h"

#include <brindle/datamodel/db_structure.h>
#include <brindle/designer/panel_palette.h>
#include <brindle/designer/result_fields_editor.h>
#include <brindle/foundations/date_time.h>
#include <brindle/foundations/errors.h>
#include <brindle/foundations/messages.h>
#include <brindle/panels/drop_down_list.h>
#include <brindle/panels/fields_tree.h>
#include <brindle/panels/query_panel.h>
#include <brindle/panels/result_fields_panel.h>
#include <brindle/panels/translation.h>
#include <brindle/panels/type_filter.h>
#include <brindle/designer/sub_query_dialog.h>

#include <QApplication>
#include <QCursor>
#include <QDate>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace brindle {

namespace {

QString at(int year, int month, int day)
{
    return BrDateTimeToStr(EncodeDate(year, month, day));
}

TDSField* sampleField(TVxDBStructure& model, const char* name)
{
    TDSField* found = model.FieldByName(flByDisplayName, QString::fromUtf8(name));
    if (!found)
        throw Exception(QStringLiteral("The sample model has no field %s"), {QString::fromUtf8(name)});
    return found;
}

// Orders from the sample model: a dozen rows in brackets of the four link
// types, a disabled row and a parameter.
void compose(TVxQuery& query, TVxDBStructure& model)
{
    const auto cond = [&](TFilterBracket* in, const char* name, const char* op, const QString& v1 = {},
                          const QString& v2 = {}) {
        auto* added = static_cast<TSimpleCond*>(query.AddCondition(in, sampleField(model, name)));
        added->SetOperator(model.OperatorByName(QString::fromLatin1(op)));
        added->SetValue(1, v1);
        if (added->GetValueCount() > 1)
            added->SetValue(2, v2);
        return added;
    };
    const auto bracket = [&](TFilterBracket* in, TFilterLinkType type) {
        TFilterBracket* added = query.AddBracket(in);
        added->SetLinkType(type);
        return added;
    };
    TFilterBracket* root = query.Filter();
    cond(root, "Customer country", "Equal", QStringLiteral("United Kingdom"));
    // Dates show as the date editor shows them once chosen.
    TSimpleCond* period = cond(root, "Order date", "Between", at(2024, 1, 1), at(2024, 3, 31));
    period->SetCaption(1, QLocale().toString(QDate(2024, 1, 1), QLocale::ShortFormat));
    period->SetCaption(2, QLocale().toString(QDate(2024, 3, 31), QLocale::ShortFormat));
    TFilterBracket* any = bracket(root, fltAny);
    cond(any, "Product", "StartsWith", QStringLiteral("S"));
    cond(any, "Category", "Equal", QStringLiteral("Beverages"));
    TFilterBracket* none = bracket(any, fltNone);
    cond(none, "Order status", "Equal", QStringLiteral("C"));
    cond(none, "Shipper", "IsNull");
    TFilterBracket* notAll = bracket(root, fltNotAll);
    TSimpleCond* price = cond(notAll, "Sale price", "GreaterThan");
    price->SetValueIsParam(1, true);
    cond(notAll, "Discount", "GreaterThan", QStringLiteral("0.1"));
    cond(root, "Order number", "InList", QStringLiteral("1, 17, 40"))->SetEnabled(false);
    cond(root, "Salesperson last name", "Contains", QStringLiteral("son"));
    // A sub-query value, stored as the sub-query dialog stores it.
    TSimpleCond* customers = cond(root, "Customer", "InQuery");
    TVxQuery sub;
    sub.SetDbStruct(&model);
    sub.SetActive(true);
    TDSField* customer = sampleField(model, "Customer");
    sub.QResult()->ResultFields().Add(QStringLiteral("@1"), {customer}, customer->DisplayName());
    sub.AddCondition(sub.Filter(), sampleField(model, "Customer city"))->SetValue(1, QStringLiteral("Berlin"));
    sub.SaveToStrings(customers->SubQuery());
    sub.BuildQuery();
    customers->SetValue(1, sub.QResult()->GetSQL().Text().simplified());
    customers->SetCaption(1, query.GetTitle(QStringLiteral("ttlSubQueryCaption")));
}

// The sample model with a sub-query operator for the customer. The default
// operators take their captions and "and" in the installed language, as a
// new model's do.
void loadModel(TVxDBStructure& model, const QString& inCaption = QStringLiteral("is in"))
{
    model.LoadFromFile(QStringLiteral(BRINDLE_SAMPLE_MODEL));
    model.LoadDefsOpertors();
    model.UpdateDefOperators();
    for (const char* name : {"Between", "NotBetween"})
        model.OperatorByName(QString::fromLatin1(name))->SetValFormat(LoadResString(_SAndConj));
    TDSOperator* inQuery = model.Operators(model.AddOperator(QStringLiteral("InQuery"), inCaption,
                                                             QStringLiteral("@f in (@1)"), {}, BrStringTypes));
    inQuery->SetValueKind(vkSubQuery);
    sampleField(model, "Customer")->AddOperator(inQuery);
}

// With a ratio of 2 the panel is drawn as on a high-density screen.
QImage render(TLogicalOperatorStyle style, bool dropOperator, qreal ratio = 1,
             const QString& inCaption = QStringLiteral("is in"))
{
    TVxDBStructure model;
    loadModel(model, inCaption);
    TVxQueryPanel panel;
    panel.resize(720, 360);
    QPalette shades = panel.palette();
    shades.setColor(QPalette::Base, Qt::white);
    panel.setPalette(shades);
    TVxQuery& query = panel.Query();
    query.SetAppearanceOptions(query.AppearanceOptions() - TQPAppearanceOptions{aoNonEmptyBrackets});
    panel.Appearance().SetLogOpStyle(style);
    query.SetDbStruct(&model);
    panel.show();
    panel.SetActive(true);
    compose(query, model);
    TFilterRow* first = query.Filter()->GetRow(0);
    panel.SetCurrentRow(first);
    QApplication::processEvents();
    if (ratio != 1) {
        QPixmap dense(panel.size() * ratio);
        dense.setDevicePixelRatio(ratio);
        panel.render(&dense);
        return dense.toImage();
    }
    QImage image = panel.grab().toImage();
    if (!dropOperator)
        return image;
    TDropDownLabel* op = panel.GetRowControl(first, 2);
    QTimer::singleShot(0, [&] {
        QWidget* menu = QApplication::activePopupWidget();
        if (!menu)
            return;
        QPainter painter(&image);
        painter.drawPixmap(menu->pos() - panel.mapToGlobal(QPoint(0, 0)), menu->grab());
        static_cast<TDropDownPopup*>(op)->Menu()->CloseMenu();
    });
    op->DropDown();
    return image;
}

// The sub-query dialog as a value word opens it: customers of two cities.
QImage renderSubQuery()
{
    TVxDBStructure model;
    loadModel(model);
    TDSField* customer = sampleField(model, "Customer");
    TVxQueryPanel panel;
    panel.Query().SetDbStruct(&model);
    panel.show();
    panel.SetActive(true);
    auto* cond = static_cast<TSimpleCond*>(panel.Query().AddCondition(panel.Query().Filter(), customer));
    cond->SetOperator(model.OperatorByName(QStringLiteral("InQuery")));
    QImage image;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TdlgSubQuery*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        TVxQuery& sub = dialog->QPanel().Query();
        TRFieldList& columns = sub.QResult()->ResultFields();
        columns.Clear();
        columns.Add(QStringLiteral("@1"), {customer}, customer->DisplayName());
        sub.Filter()->SetLinkType(fltAny);
        for (const char* city : {"Berlin", "Lyon"}) {
            auto* added = static_cast<TSimpleCond*>(sub.AddCondition(sub.Filter(), sampleField(model, "Customer city")));
            added->SetValue(1, QString::fromUtf8(city));
        }
        QApplication::processEvents();
        image = dialog->grab().toImage();
        dialog->reject();
    });
    QString value;
    cond->RunSubQueryEditor(value);
    if (image.isNull())
        throw Exception(QStringLiteral("The sub-query dialog did not open"), {});
    return image;
}

// Result columns: a sorted field, a sum and a formula, the sum sorted too.
QImage renderResultFields()
{
    TVxDBStructure model;
    loadModel(model);
    TVxResultFieldsPanel panel;
    panel.resize(460, 130);
    panel.SetDBStruct(&model);
    panel.show();
    panel.Activate();
    TRFieldList& columns = panel.ResultFields();
    columns.Add(QStringLiteral("@1"), {sampleField(model, "Customer")}, QStringLiteral("Customer"));
    columns.Add(QStringLiteral("sum(@1)"), {sampleField(model, "Line amount")}, QStringLiteral("Sales"));
    columns.Add(QStringLiteral("@1 * 1.2"), {sampleField(model, "List price")}, QStringLiteral("Gross price"));
    columns.GetRField(0)->SetSorting(stAscending);
    columns.GetRField(1)->SetSorting(stDescending);
    // Away from the buttons, which would show as hovered.
    QCursor::setPos(panel.mapToGlobal(QPoint(panel.width() - 5, panel.height() - 5)));
    QApplication::processEvents();
    return panel.grab().toImage();
}

// The result fields editor over the sample model: a sorted column, an
// aggregate and a sum of two fields, with its add menu open for the
// discount of the order lines.
QImage renderResultFieldsEditor()
{
    TVxDBStructure model;
    loadModel(model);
    TRFieldList columns(&model);
    TDSField* customer = sampleField(model, "Customer");
    columns.Add(QStringLiteral("@1"), {customer}, customer->DisplayName());
    columns.Add(QStringLiteral("SUM(@1)"), {sampleField(model, "Quantity")}, QStringLiteral("Quantity Sum"));
    columns.Add(QStringLiteral("@1 + @2"), {sampleField(model, "Sales total"), sampleField(model, "Freight")},
                QStringLiteral("Total with freight"));
    columns.GetRField(0)->SetSorting(stAscending);
    columns.GetRField(1)->SetSorting(stDescending);
    TdlgRFieldsEditor dialog;
    dialog.SetOptions({rfdShowSorting, rfdListFunc, rfdCountDistinctFunc});
    dialog.SetDBStructure(&model);
    dialog.Load(columns);
    dialog.show();
    TDSField* discount = sampleField(model, "Discount");
    const QModelIndex node = dialog.FieldsModel()->IndexOf(discount);
    if (!node.isValid())
        throw Exception(QStringLiteral("The sample model's tree has no field %s"), {discount->DisplayName()});
    dialog.FieldsTree()->setCurrentIndex(node);
    dialog.ResultGrid()->selectRow(2);
    QApplication::processEvents();
    const QImage shot = dialog.grab().toImage();
    QImage image;
    // The menu may reach past the dialog: the picture takes in both.
    QTimer::singleShot(0, [&] {
        QWidget* menu = QApplication::activePopupWidget();
        if (!menu)
            return;
        const QPoint at = menu->pos() - dialog.mapToGlobal(QPoint(0, 0));
        const QRect whole = QRect(QPoint(0, 0), shot.size()).united(QRect(at, menu->size()));
        image = QImage(whole.size(), QImage::Format_ARGB32);
        image.fill(dialog.palette().color(QPalette::Window));
        QPainter painter(&image);
        painter.drawImage(-whole.topLeft(), shot);
        painter.drawPixmap(at - whole.topLeft(), menu->grab());
        menu->close();
    });
    dialog.AddButton()->click();
    if (image.isNull())
        throw Exception(QStringLiteral("The result fields editor's add menu did not open"), {});
    return image;
}

// The result fields editor's field tree, longer than its view, with
// "Ship" typed into it: the search line over the fields that match.
QImage renderResultFieldsEditorFiltered()
{
    TVxDBStructure model;
    loadModel(model);
    TRFieldList columns(&model);
    TdlgRFieldsEditor dialog;
    dialog.SetDBStructure(&model);
    dialog.Load(columns);
    dialog.show();
    QWidget* tree = dialog.FieldsTree();
    tree->setFocus();
    for (const QChar c : QStringLiteral("Ship")) {
        QKeyEvent press(QEvent::KeyPress, 0, c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier, QString(c));
        QApplication::sendEvent(tree, &press);
    }
    QApplication::processEvents();
    if (!dialog.FieldsFilter()->isVisible())
        throw Exception(QStringLiteral("Typing into the result fields editor's tree did not filter it"), {});
    return dialog.grab().toImage();
}

// The query panel, with its current row and selected word, and the result
// fields panel over one query on a dark palette.
QImage renderDarkPanels()
{
    TVxDBStructure model;
    loadModel(model);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* panel = new TVxQueryPanel(&window);
    auto* fields = new TVxResultFieldsPanel(&window);
    panel->setMinimumHeight(330);
    fields->setMinimumHeight(110);
    layout->addWidget(panel);
    layout->addWidget(fields);
    window.resize(720, 470);
    ApplyPalette(StandardDarkPalette(), panel, fields);
    window.setPalette(StandardDarkPalette());
    TVxQuery& query = panel->Query();
    query.SetAppearanceOptions(query.AppearanceOptions() - TQPAppearanceOptions{aoNonEmptyBrackets});
    query.SetDbStruct(&model);
    fields->BindQuery(&query);
    window.show();
    panel->SetActive(true);
    fields->Activate();
    compose(query, model);
    TRFieldList& columns = fields->ResultFields();
    columns.Add(QStringLiteral("@1"), {sampleField(model, "Customer")}, QStringLiteral("Customer"));
    columns.Add(QStringLiteral("sum(@1)"), {sampleField(model, "Line amount")}, QStringLiteral("Sales"));
    columns.GetRField(1)->SetSorting(stDescending);
    panel->SetCurrentRow(query.Filter()->GetRow(0));
    panel->SetCurrentControlIndex(3);
    QCursor::setPos(window.mapToGlobal(QPoint(window.width() - 5, window.height() - 5)));
    QApplication::processEvents();
    return window.grab().toImage();
}

void save(const QImage& image, const QString& path)
{
    if (!image.save(path))
        throw Exception(QStringLiteral("Cannot write %s"), {path});
}

} // namespace

void RenderPanelPictures(const QString& dir)
{
    save(render(losHidden, true), dir + QStringLiteral("/query_panel.png"));
    save(render(losAfterCond, false), dir + QStringLiteral("/query_panel_and_or.png"));
    save(render(losHidden, false, 2), dir + QStringLiteral("/query_panel_ratio_2.png"));
    save(renderSubQuery(), dir + QStringLiteral("/sub_query_dialog.png"));
    save(renderResultFields(), dir + QStringLiteral("/result_fields_panel.png"));
    save(renderResultFieldsEditor(), dir + QStringLiteral("/result_fields_editor.png"));
    save(renderResultFieldsEditorFiltered(), dir + QStringLiteral("/result_fields_editor_filter.png"));
    save(renderDarkPanels(), dir + QStringLiteral("/panels_dark.png"));
    // In German: the sentence, the operators and the dates; the model's own
    // field names stay as the model spells them.
    const QLocale german(QLocale::German, QLocale::Germany);
    const QLocale before;
    InstallTranslation(german);
    QLocale::setDefault(german);
    const QImage inGerman = render(losHidden, false, 1, QStringLiteral("ist enthalten in"));
    InstallTranslation(QLocale(QLocale::English));
    QLocale::setDefault(before);
    save(inGerman, dir + QStringLiteral("/query_panel_de.png"));
}

} // namespace brindle
