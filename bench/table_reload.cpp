// reloadData plus layout of a 1,000-row table with a screenful (667 points)
// in view: the counts and heights asked, the geometry placed, the shown
// cells handed back to the reuse queue and dequeued again, filled, placed
// and laid out. Run with repetitions; the median per iteration is the figure.

#include <benchmark/benchmark.h>

#include <string>

#include "uikit/UITableView.h"

namespace {

class ThousandRows : public NSObject, public UITableViewDataSource, public UITableViewDelegate {
public:
    bool answersHeights = false;

    long tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) override { return 1000; }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& table, NSIndexPath path) override {
        auto cell = table->dequeueReusableCellWithIdentifier("row", path);
        cell->textLabel()->setText("Row " + std::to_string(path.row()));
        return cell;
    }
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>&, NSIndexPath path) override {
        if (!answersHeights) return std::nullopt;
        return path.row() % 3 ? 44.0 : 60.0;
    }
};

void reloadAndLayOut(benchmark::State& state, bool answersHeights) {
    auto rows = make<ThousandRows>();
    rows->answersHeights = answersHeights;
    auto table = make<UITableView>(CGRectMake(0, 0, 375, 667));
    table->registerClass<UITableViewCell>("row");
    table->setDataSource(rows);
    table->setDelegate(rows);
    table->layoutIfNeeded();
    for (auto _ : state) {
        table->reloadData();
        table->layoutIfNeeded();
        benchmark::DoNotOptimize(table->visibleCells().size());
    }
}

void BM_TableReloadFixedHeight(benchmark::State& state) { reloadAndLayOut(state, false); }
void BM_TableReloadDelegateHeights(benchmark::State& state) { reloadAndLayOut(state, true); }

}  // namespace

BENCHMARK(BM_TableReloadFixedHeight)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_TableReloadDelegateHeights)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
