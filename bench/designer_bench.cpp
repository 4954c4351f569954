// The structure design panel on diagrams of 1,000 and 10,000 tables of
// 20 columns with 1.5 links per table, every table with a stored place:
// activating the panel (boxes, the widgets of those in view, lines, first
// paint), one step of dragging a box by its title bar (its lines
// recomputed, the surface repainted), and a hit test over all lines at a
// point on none.

#include <brindle/datamodel/db_structure.h>
#include <brindle/designer/design_area.h>
#include <brindle/designer/struct_design_panel.h>

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <memory>

using namespace brindle;

namespace {

// Paint at every processEvents, as a screen that keeps up would, instead
// of once per 5 ms update interval of the offscreen platform.
[[maybe_unused]] const bool unthrottled = qputenv("QT_QPA_UPDATE_IDLE_TIME", "0");

constexpr int Columns = 20;

class ManyColumns : public TVxDBInfo {
public:
    void FieldsByTable(const QString&, TDBFieldList& fields) override
    {
        for (int i = 0; i < Columns; ++i)
            fields.Add(QStringLiteral("Column%1").arg(i), ftInteger, 0);
    }
};

// Boxes in rows of 20; links as the large schema's foreign keys, from each
// table to the one before and, from every even table, to table 7i+3 (most
// of those far off, so that many lines have an end out of view), on
// varying columns.
struct Diagram {
    explicit Diagram(int tables)
    {
        model.SetDatabaseInfo(&info);
        for (int i = 0; i < tables; ++i) {
            TDSTable* table = model.Tables(model.AddTable(QStringLiteral("T%1").arg(i), {}));
            const int left = 12 + (i % 20) * 150;
            const int top = 10 + (i / 20) * 180;
            table->SetDesignPositions(QStringLiteral("%1,%2,110,160").arg(left).arg(top));
        }
        const auto link = [&](int from, int to, int column) {
            auto made = std::make_unique<TDSLink>(&model);
            made->SetTable1(model.Tables(from));
            made->SetTable2(model.Tables(to % tables));
            made->SetFields1(TStringList({QStringLiteral("Column%1").arg(column % Columns)}));
            made->SetFields2(TStringList({QStringLiteral("Column%1").arg((column + 3) % Columns)}));
            model.AddLinkByRef(std::move(made));
        };
        for (int i = 0; i < tables; ++i) {
            link(i, i + tables - 1, i);
            if (i % 2 == 0)
                link(i, 7 * i + 3, i + 5);
        }
        panel.resize(1200, 800);
        panel.SetDBStruct(&model);
        panel.show();
        QApplication::processEvents();
    }
    // Boxes go with deleteLater, and no event loop runs here to delete
    // them: left over, they would slow every later processEvents.
    ~Diagram()
    {
        panel.Deactivate();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    ManyColumns info;
    TVxDBStructure model;
    TVxStructDesignPanel panel;
};

void BM_Activate(benchmark::State& state)
{
    Diagram diagram(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        diagram.panel.Activate();
        QApplication::processEvents();
        state.PauseTiming();
        diagram.panel.Deactivate();
        // The boxes go with deleteLater.
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["links"] = diagram.model.LinkCount();
    diagram.panel.Activate();
    state.counters["box lists"] =
        static_cast<double>(diagram.panel.DesignArea()->Surface()->findChildren<QListWidget*>().size());
}
BENCHMARK(BM_Activate)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_DragBox(benchmark::State& state)
{
    Diagram diagram(static_cast<int>(state.range(0)));
    diagram.panel.Activate();
    QApplication::processEvents();
    // A box with three lines, in sight.
    QWidget* title = diagram.panel.TablesRep()[4]->TitleBar();
    // The pointer moves on the screen; the box follows it.
    const QPointF origin = title->mapToGlobal(QPointF(30, 9));
    const auto send = [&](QEvent::Type type, QPointF offset, Qt::MouseButtons buttons) {
        const QPointF global = origin + offset;
        QMouseEvent event(type, title->mapFromGlobal(global), global, Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(title, &event);
    };
    send(QEvent::MouseButtonPress, {}, Qt::LeftButton);
    struct PaintCount : QObject {
        int n = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            n += event->type() == QEvent::Paint;
            return false;
        }
    } paints;
    diagram.panel.DesignArea()->Surface()->installEventFilter(&paints);
    int step = 0;
    for (auto _ : state) {
        ++step;
        send(QEvent::MouseMove, QPointF(step % 40, step % 30), Qt::LeftButton);
        QApplication::processEvents();
    }
    send(QEvent::MouseButtonRelease, {}, Qt::NoButton);
    // One paint of the surface per step, or the figure would flatter.
    state.counters["paints/step"] = static_cast<double>(paints.n) / qMax(step, 1);
    diagram.panel.DesignArea()->Surface()->removeEventFilter(&paints);
}
BENCHMARK(BM_DragBox)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_HitTest(benchmark::State& state)
{
    Diagram diagram(static_cast<int>(state.range(0)));
    diagram.panel.Activate();
    for (auto _ : state)
        benchmark::DoNotOptimize(diagram.panel.IsOverSomeLink(5, 5));
    state.counters["links"] = diagram.model.LinkCount();
}
BENCHMARK(BM_HitTest)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace
