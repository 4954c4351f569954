// The widgets at the sizes users reach: a popup of 5,000 items in 50
// groups and a list box of 5,000 items opened (built, placed, shown) and
// closed, the field popup of a panel over 5,000 and 20,000 fields opened
// as a search and one key typed into it at 20,000, 10,000 labels made on a panel, and the query panel showing the
// query of query_shape.h at 1,000 and 10,000 conditions: loading it,
// adding a row, rebuilding, placing every row; the result fields panel
// showing 500 columns and the result fields editor opened, both over
// models of 5,000 and 20,000 fields, and a key typed into the editor's
// tree at 20,000 and 200,000 fields.

#include "query_shape.h"
#include "schema_model.h"

#include <brindle/designer/result_fields_editor.h>
#include <brindle/panels/drop_down_edits.h>
#include <brindle/panels/drop_down_list_box.h>
#include <brindle/panels/fields_tree.h>
#include <brindle/panels/filter_list.h>
#include <brindle/panels/query_panel.h>
#include <brindle/panels/result_fields_panel.h>
#include <brindle/panels/type_filter.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTreeView>

#include <QTimer>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <map>
#include <memory>
#include <vector>

using namespace brindle;

namespace {

template <typename Label>
void fill(Label& label)
{
    for (int group = 0; group < 50; ++group)
        for (int item = 0; item < 100; ++item)
            label.AddItem(QStringLiteral("Group %1").arg(group), QString::number(group * 100 + item),
                          QStringLiteral("Item %1 of group %2").arg(item).arg(group));
}

void BM_OpenPopup(benchmark::State& state)
{
    QWidget window;
    window.resize(800, 600);
    window.show();
    TDropDownPopup label(&window);
    fill(label);
    for (auto _ : state) {
        // Closed as soon as the menu is on screen.
        QTimer::singleShot(0, [&] { label.Menu()->CloseMenu(); });
        label.DropDown();
    }
}
BENCHMARK(BM_OpenPopup)->Unit(benchmark::kMillisecond);

void BM_OpenListBox(benchmark::State& state)
{
    QWidget window;
    window.resize(800, 600);
    window.show();
    TDropDownListBox label(&window);
    fill(label);
    for (auto _ : state) {
        label.DropDown();
        label.CloseEdit(false);
    }
}
BENCHMARK(BM_OpenListBox)->Unit(benchmark::kMillisecond);

// A shown, active panel over the schema model with one condition, and its
// field word, whose popup offers every field of the model.
struct FieldWordPanel {
    explicit FieldWordPanel(int fields) : schema(fields / 20000.0)
    {
        panel.resize(800, 600);
        panel.Query().SetDbStruct(&schema.model);
        panel.show();
        panel.SetActive(true);
        TFilterRow* cond = panel.Query().AddCondition(panel.Query().Filter(), schema.model.Fields(1));
        word = panel.GetRowControl(cond, 1);
    }
    bench::SchemaModel schema;
    TVxQueryPanel panel;
    TDropDownLabel* word = nullptr;
};

// The field popup at 5,000 and 20,000 fields, which opens as a search line
// over a list of every field: built, shown, closed.
void BM_OpenFieldPopup(benchmark::State& state)
{
    FieldWordPanel shown(static_cast<int>(state.range(0)));
    auto* popup = static_cast<TDropDownPopup*>(shown.word);
    for (auto _ : state) {
        QTimer::singleShot(0, [&] {
            QApplication::processEvents();
            popup->Menu()->CloseMenu();
        });
        popup->DropDown();
    }
}
BENCHMARK(BM_OpenFieldPopup)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

// One key typed into the open field popup's search line at 20,000 fields,
// filtered, laid out and painted: the first letter ("c", which every field
// holds), a letter that none holds ("q"), a digit that narrows "of 19" to
// "of 199", and Backspace after "q", which brings all 20,000 rows back.
void BM_FilterKeystroke(benchmark::State& state)
{
    FieldWordPanel shown(20000);
    auto* popup = static_cast<TDropDownPopup*>(shown.word);
    const int variant = static_cast<int>(state.range(0));
    const QString before = variant == 2 ? QStringLiteral("of 19") : variant == 3 ? QStringLiteral("q") : QString();
    int rows = 0;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TFilterList*>(popup->Menu()->OpenWindow());
        if (!form) {
            state.SkipWithError("the popup did not open as a search");
            for (auto _ : state) {
            }
            popup->Menu()->CloseMenu();
            return;
        }
        const auto key = [&](int code, const QString& text) {
            QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
            QApplication::sendEvent(form->SearchLine(), &press);
            QApplication::processEvents();
            form->repaint();
        };
        const QChar typed = QStringLiteral("cq9q")[variant];
        const auto type = [&] { key(typed.unicode(), typed); };
        const auto erase = [&] { key(Qt::Key_Backspace, QStringLiteral("\b")); };
        form->SearchLine()->setText(before);
        QApplication::processEvents();
        for (auto _ : state) {
            variant == 3 ? erase() : type();
            state.PauseTiming();
            rows = form->Model().rowCount();
            variant == 3 ? type() : erase();
            state.ResumeTiming();
        }
        popup->Menu()->CloseMenu();
    });
    popup->DropDown();
    state.counters["rows_shown"] = rows;
}
BENCHMARK(BM_FilterKeystroke)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_MakeLabels(benchmark::State& state)
{
    QWidget panel;
    for (auto _ : state) {
        std::vector<std::unique_ptr<TDropDownLabel>> labels;
        labels.reserve(10000);
        for (int i = 0; i < 10000; ++i) {
            std::unique_ptr<TDropDownLabel> label;
            if (i % 2)
                label = std::make_unique<TDropDownPopup>(&panel);
            else
                label = std::make_unique<TDropDownEdit>(&panel);
            label->SetCaption(QStringLiteral("word %1").arg(i));
            labels.push_back(std::move(label));
        }
        state.PauseTiming();
        labels.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MakeLabels)->Unit(benchmark::kMillisecond);

// A shown, active panel over the benchmark model.
std::unique_ptr<TVxQueryPanel> newPanel()
{
    auto panel = std::make_unique<TVxQueryPanel>();
    panel->resize(800, 600);
    panel->Query().SetAppearanceOptions(panel->Query().AppearanceOptions() - TQPAppearanceOptions{aoNonEmptyBrackets});
    panel->Query().SetDbStruct(&bench::model().model);
    panel->show();
    panel->SetActive(true);
    return panel;
}

TStringList queryText(int conditions)
{
    TStringList lines;
    bench::makeQuery(conditions)->SaveToStrings(lines);
    return lines;
}

// The heap in use, from the allocator's own count.
std::size_t heapInUse()
{
    return mallinfo2().uordblks;
}

void BM_PanelLoad(benchmark::State& state)
{
    const TStringList lines = queryText(static_cast<int>(state.range(0)));
    double bytesPerRow = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto panel = newPanel();
        const std::size_t before = heapInUse();
        state.ResumeTiming();
        panel->Query().LoadFromStrings(lines);
        QApplication::processEvents();
        state.PauseTiming();
        bytesPerRow = double(heapInUse() - before) / panel->Query().Filter()->GetLastRowNum();
        panel.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    // The query's rows and words and the panel's controls together.
    state.counters["heap_bytes_per_row"] = bytesPerRow;
}
BENCHMARK(BM_PanelLoad)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// One row added to a loaded panel, placed and painted, and taken away again.
void BM_PanelAddRow(benchmark::State& state)
{
    auto panel = newPanel();
    panel->Query().LoadFromStrings(queryText(static_cast<int>(state.range(0))));
    TFilterBracket* root = panel->Query().Filter();
    for (auto _ : state) {
        panel->Query().AddCondition(root, bench::model().fields[0]);
        QApplication::processEvents();
        state.PauseTiming();
        root->DeleteRow(root->GetRowCount() - 1);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PanelAddRow)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// A value typed into the first condition's value word and taken, as a user
// does: the word opens, the editor gets the text, the editor closes with
// the input accepted and the query has told changed(). The counter is the
// signals the query sends its views on the way (words changed or remade,
// editors asked to close, changed()).
void BM_PanelAcceptValue(benchmark::State& state)
{
    auto panel = newPanel();
    panel->Query().LoadFromStrings(queryText(static_cast<int>(state.range(0))));
    QApplication::processEvents();
    TVxQuery& query = panel->Query();
    TFilterRow* row = query.Filter();
    while (row && row->RowType() != frtSimpleCondition)
        row = query.GetRowByNum(row->RowNum() + 1);
    auto* label = qobject_cast<TDropDownCustomEdit*>(panel->GetRowControl(row, 3));
    if (!label) {
        state.SkipWithError("the first condition has no text value word");
        return;
    }
    int crossings = 0;
    const auto count = QObject::connect(&query, &TVxQuery::rowWordChanged, [&] { ++crossings; });
    const auto countReplaced = QObject::connect(&query, &TVxQuery::rowWordsReplaced, [&] { ++crossings; });
    const auto countClose = QObject::connect(&query, &TVxQuery::editorCloseRequested, [&] { ++crossings; });
    const auto countChanged = QObject::connect(&query, &TVxQuery::changed, [&] { ++crossings; });
    int value = 0;
    int runs = 0;
    for (auto _ : state) {
        label->DropDown();
        label->SetEditText(QString::number(++value));
        label->DropUp(true);
        ++runs;
    }
    state.counters["crossings"] = double(crossings) / std::max(runs, 1);
    for (const auto& connection : {count, countReplaced, countClose, countChanged})
        QObject::disconnect(connection);
}
BENCHMARK(BM_PanelAcceptValue)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Ctrl+Z and Ctrl+Shift+Z on a shown panel: the query loads its earlier text
// and the panel shows it (range(1): 1 times the undo, 0 the redo).
void BM_PanelUndoRedo(benchmark::State& state)
{
    auto panel = newPanel();
    panel->Query().LoadFromStrings(queryText(static_cast<int>(state.range(0))));
    TVxQuery& query = panel->Query();
    query.AcceptWordValue(query.GetLastRow(), wrValue1, QStringLiteral("changed"));
    QApplication::processEvents();
    const bool undo = state.range(1) == 1;
    int heard = 0;
    QObject::connect(panel.get(), &TSentenceRows::undoStateChanged, [&] { ++heard; });
    const auto press = [&](bool undoing) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Z, undoing ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        QApplication::sendEvent(panel.get(), &key);
        QApplication::processEvents();
    };
    for (auto _ : state) {
        if (!undo) {
            state.PauseTiming();
            press(true);
            state.ResumeTiming();
        }
        press(undo);
        if (undo) {
            state.PauseTiming();
            press(false);
            state.ResumeTiming();
        }
    }
    if (heard == 0)
        state.SkipWithError("the keys did not reach the history");
}
BENCHMARK(BM_PanelUndoRedo)->ArgNames({"rows", "undo"})->Args({1000, 1})->Args({1000, 0})->Unit(benchmark::kMillisecond);

void BM_PanelRefresh(benchmark::State& state)
{
    auto panel = newPanel();
    panel->Query().LoadFromStrings(queryText(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        panel->RefreshPanel();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_PanelRefresh)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_PanelPlaceAllRows(benchmark::State& state)
{
    auto panel = newPanel();
    panel->Query().LoadFromStrings(queryText(static_cast<int>(state.range(0))));
    for (auto _ : state)
        panel->PlaceAllRows();
}
BENCHMARK(BM_PanelPlaceAllRows)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// 500 columns over the schema model, made and shown by a new active panel:
// the field word's list is built once and shared by every row.
void BM_ResultFieldsPanelShow(benchmark::State& state)
{
    bench::SchemaModel schema(static_cast<double>(state.range(0)) / 20000);
    TRFieldList columns(&schema.model);
    for (int i = 0; i < 500; ++i) {
        TDSField* field = schema.model.Fields(1 + (i * 37) % (schema.model.FieldCount() - 1));
        columns.Add(i % 3 ? QStringLiteral("@1") : QStringLiteral("sum(@1)"), {field}, field->DisplayName());
    }
    for (auto _ : state) {
        TVxResultFieldsPanel panel;
        panel.resize(800, 600);
        panel.SetDBStruct(&schema.model);
        panel.SetResultFields(columns);
        panel.show();
        panel.Activate();
        QApplication::processEvents();
        state.PauseTiming();
        panel.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ResultFieldsPanelShow)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

// The dialog as a panel opens it: made, given the model (its tree filled),
// loaded with ten columns and shown.
void BM_OpenResultFieldsEditor(benchmark::State& state)
{
    static std::map<int, std::unique_ptr<bench::SchemaModel>> schemas;
    const int fields = static_cast<int>(state.range(0));
    auto& schema = schemas[fields];
    if (!schema)
        schema = std::make_unique<bench::SchemaModel>(fields / 20000.0);
    TRFieldList columns(&schema->model);
    for (int i = 0; i < 10; ++i) {
        TDSField* field = schema->model.Fields(i * fields / 10);
        columns.Add(QStringLiteral("@1"), {field}, field->DisplayName());
    }
    int nodes = 0;
    for (auto _ : state) {
        auto dialog = std::make_unique<TdlgRFieldsEditor>();
        dialog->SetDBStructure(&schema->model);
        dialog->Load(columns);
        dialog->show();
        QApplication::processEvents();
        state.PauseTiming();
        const FieldsTreeModel* tree = dialog->FieldsModel();
        nodes = tree->rowCount();
        for (int row = 0; row < tree->rowCount(); ++row)
            nodes += tree->rowCount(tree->index(row, 0));
        dialog.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    // Groups and fields: the tree the dialog filled.
    state.counters["tree_nodes"] = nodes;
}
BENCHMARK(BM_OpenResultFieldsEditor)->Arg(5000)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

// One key typed into the result fields editor's tree of 20,000 or 200,000
// fields, the tree filtered, laid out and painted: the first letter ("c",
// which every field holds, so the filter opens with every group open), a
// digit that narrows "of 19" to "of 199", and Backspace after "q", which
// ends the filter and shows the whole tree again.
void BM_ResultFieldsTreeKeystroke(benchmark::State& state)
{
    static std::map<int, std::unique_ptr<bench::SchemaModel>> schemas;
    const int fields = static_cast<int>(state.range(0));
    const int variant = static_cast<int>(state.range(1));
    auto& schema = schemas[fields];
    if (!schema)
        schema = std::make_unique<bench::SchemaModel>(fields / 20000.0);
    TdlgRFieldsEditor dialog;
    dialog.SetDBStructure(&schema->model);
    dialog.show();
    QApplication::processEvents();
    QTreeView* tree = dialog.FieldsTree();
    TTypeFilter* line = dialog.FieldsFilter();
    const auto key = [&](int code, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
        QApplication::sendEvent(tree, &press);
        QApplication::processEvents();
        tree->repaint();
    };
    const QChar typed = QStringLiteral("c9q")[variant];
    const auto type = [&] { key(typed.unicode(), typed); };
    const auto erase = [&] { key(Qt::Key_Backspace, QStringLiteral("\b")); };
    line->setText(variant == 1 ? QStringLiteral("of 19") : variant == 2 ? QStringLiteral("q") : QString());
    QApplication::processEvents();
    int shown = 0;
    for (auto _ : state) {
        variant == 2 ? erase() : type();
        state.PauseTiming();
        const FieldsTreeModel* model = dialog.FieldsModel();
        shown = 0;
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex node = model->index(row, 0);
            shown += model->Field(node) ? 1 : model->rowCount(node);
        }
        variant == 2 ? type() : erase();
        state.ResumeTiming();
    }
    state.counters["fields_shown"] = shown;
}
BENCHMARK(BM_ResultFieldsTreeKeystroke)
    ->ArgNames({"fields", "key"})
    ->ArgsProduct({{20000, 200000}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

} // namespace
