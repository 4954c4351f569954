// The data model editor over the schema model at 5,000, 20,000 and 200,000 fields:
// opened (the copy made through the model text, the first page filled, shown),
// the attributes and entities pages shown again, a key typed into the attributes
// list, and OK's hand-over of the copy's text to the model.

#include "schema_model.h"

#include <brindle/designer/attributes_page.h>
#include <brindle/designer/entities_page.h>
#include <brindle/designer/model_editor.h>
#include <brindle/panels/type_filter.h>

#include <QApplication>
#include <QKeyEvent>
#include <QListView>
#include <QTabWidget>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

using namespace brindle;

namespace {

bench::SchemaModel& schema(int fields)
{
    static std::map<int, std::unique_ptr<bench::SchemaModel>> schemas;
    auto& made = schemas[fields];
    if (!made)
        made = std::make_unique<bench::SchemaModel>(fields / 20000.0);
    return *made;
}

void BM_OpenModelEditor(benchmark::State& state)
{
    TVxDBStructure& model = schema(static_cast<int>(state.range(0))).model;
    int fields = 0;
    for (auto _ : state) {
        auto editor = std::make_unique<TdlgDataModelEditor>(model);
        editor->show();
        QApplication::processEvents();
        state.PauseTiming();
        fields = editor->Copy().FieldCount();
        editor.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["fields"] = fields;
}
BENCHMARK(BM_OpenModelEditor)->Arg(5000)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

// A page refills itself from the copy each time it is shown.
void showPage(benchmark::State& state, QWidget* (*page)(const TdlgDataModelEditor&))
{
    TdlgDataModelEditor editor(schema(static_cast<int>(state.range(0))).model);
    editor.show();
    for (auto _ : state) {
        editor.Pages()->setCurrentWidget(page(editor));
        QApplication::processEvents();
        state.PauseTiming();
        editor.Pages()->setCurrentIndex(0);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
void BM_ShowAttributesPage(benchmark::State& state)
{
    showPage(state, [](const TdlgDataModelEditor& editor) -> QWidget* { return editor.Attributes(); });
}
BENCHMARK(BM_ShowAttributesPage)->Arg(5000)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

void BM_ShowEntitiesPage(benchmark::State& state)
{
    showPage(state, [](const TdlgDataModelEditor& editor) -> QWidget* { return editor.Entities(); });
}
BENCHMARK(BM_ShowEntitiesPage)->Arg(5000)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

// A digit typed into the attributes list after "of 19", which narrows the
// list to the fields of tables 199 and 1990 to 1999, the page showing the
// first match; filtered, laid out and painted.
void BM_AttributesKeystroke(benchmark::State& state)
{
    TdlgDataModelEditor editor(schema(static_cast<int>(state.range(0))).model);
    editor.show();
    editor.Pages()->setCurrentWidget(editor.Attributes());
    QApplication::processEvents();
    QListView* list = editor.Attributes()->FieldList();
    editor.Attributes()->FieldFilter()->setText(QStringLiteral("of 19"));
    const auto key = [&](int code, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
        QApplication::sendEvent(list, &press);
        QApplication::processEvents();
        editor.Attributes()->repaint();
    };
    int shown = 0;
    for (auto _ : state) {
        key(Qt::Key_9, QStringLiteral("9"));
        state.PauseTiming();
        shown = list->model()->rowCount();
        key(Qt::Key_Backspace, QStringLiteral("\b"));
        state.ResumeTiming();
    }
    state.counters["fields_shown"] = shown;
}
BENCHMARK(BM_AttributesKeystroke)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

void BM_ApplyModelEditor(benchmark::State& state)
{
    TdlgDataModelEditor editor(schema(static_cast<int>(state.range(0))).model);
    for (auto _ : state)
        editor.Apply();
}
BENCHMARK(BM_ApplyModelEditor)->Arg(5000)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

} // namespace
