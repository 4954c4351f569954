// The drop-down labels at the sizes a panel reaches: a popup of 5,000
// items in 50 groups and a list box of 5,000 items opened (built, placed,
// shown) and closed, and 10,000 labels made on a panel.

#include <brindle/panels/drop_down_edits.h>
#include <brindle/panels/drop_down_list_box.h>

#include <QTimer>

#include <benchmark/benchmark.h>

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

} // namespace
