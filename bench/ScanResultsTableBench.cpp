// The results table over 200, 2,000 and 20,000 records of 5 paths each, every record
// carrying its signature record as the Overview hands them over. One run is the user's
// path through the screen: first appearance, one tick, one Show details, Select all
// off, then scrolling page by page through the whole list, then Show details again.
// Each step is timed until the window has painted; the input goes through the view
// as the window system delivers it. Goals at 20,000: a tick and every scroll step
// within a frame (16 ms), the scroll-through growing the process by under 50 MiB,
// first appearance within 10x its time at 200, Show details after the scroll-through
// within 3x its time before. Median and worst of 5 runs.
#include "PaintedSteps.h"

#include "Detection/SharedLists.h"
#include "Screens/Scan/ScanResultViewController.h"

#include <QApplication>
#include <QCheckBox>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <malloc.h>
#include <string>
#include <vector>

namespace {

constexpr int pathsPerRecord = 5;
constexpr int parentRowHeight = 60;

MalwareList signatureRecord(int id, const std::vector<ScanResultItem>& items)
{
    MalwareList record;
    record.id = id;
    record.appName = "Helper Suite " + std::to_string(id);
    record.sigInfo = "Adware";
    record.status = "1";
    record.hash.emplace();
    record.paths.emplace();
    for (std::size_t each = 0; each < items.size(); ++each) {
        record.hash->push_back({static_cast<std::int64_t>(each), id, std::string(32, 'a'), std::string(40, 'b'),
                                std::string(64, 'c'), "Qlorvex Labs Developer ID"});
        record.paths->push_back({static_cast<std::int64_t>(each), id, 1, {items[each].path, std::nullopt}, "Helper"});
    }
    record.publisher = std::vector<Publisher>{{1, id, "Qlorvex Labs", "2.1", "web"}};
    return record;
}

std::vector<ScanResult> records(int count)
{
    std::vector<ScanResult> results;
    for (int id = 0; id < count; ++id) {
        ScanResult result;
        result.id = id;
        result.isParent = true;
        result.isSelected = true;
        result.title = "Helper Suite " + std::to_string(id);
        result.subTitleLeft = "Threat:";
        result.subTitleRight = "Adware";
        result.company = "Qlorvex Labs";
        result.version = "2.1";
        result.items.emplace();
        for (int path = 0; path < pathsPerRecord; ++path)
            result.items->push_back(
                {"/Users/someone/Library/Application Support/Helper " + std::to_string(id) + "/" + std::to_string(path)});
        result.malwareList = signatureRecord(id, *result.items);
        results.push_back(std::move(result));
    }
    return results;
}

double residentMegabytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmRSS:"))
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

// A left click at `point` of `area`, delivered to the widget there.
void clickAt(QWidget& area, QPoint point)
{
    QWidget* target = area.childAt(point);
    if (!target)
        target = &area;
    const QPointF local = target->mapFrom(&area, point);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, local, target->mapToGlobal(local), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
}

// The first row's checkbox and its Show details link, in the table's viewport.
QPoint checkBoxOfFirstRow(const QTableView&)
{
    return {27, parentRowHeight / 2};
}
QPoint showDetailsOfFirstRow(const QTableView& table)
{
    return {table.viewport()->width() - 60, parentRowHeight / 2 + 10};
}

// Scrolls page by page to the end; the worst step in milliseconds.
double scrollThrough(QWidget& window, QTableView& table)
{
    QScrollBar& bar = *table.verticalScrollBar();
    double worst = 0;
    while (bar.value() < bar.maximum())
        worst = std::max(worst, paintedAfter(window, [&] { bar.setValue(bar.value() + bar.pageStep()); }));
    return worst;
}

// Stops the bench when a click missed its target.
void expect(bool hit)
{
    if (!hit)
        std::abort();
}

ScanResult firstRecord()
{
    return scanResults().update([](const std::vector<ScanResult>& results) {
        ScanResult first = results.front();
        first.malwareList.reset();
        return first;
    });
}

void runOnce(int count, Figures& figures)
{
    scanResults().replace(records(count));
    QWidget window;
    window.resize(808, 652);
    ScanResultViewController screen(&window);
    screen.setGeometry(window.rect());
    window.show();
    QApplication::processEvents();
    QTableView& table = *screen.tableView;
    QWidget& rows = *table.viewport();

    figures.add("appear_ms", paintedAfter(window, [&] { screen.viewWillAppear(); }));
    figures.add("tick_ms", paintedAfter(window, [&] { clickAt(rows, checkBoxOfFirstRow(table)); }));
    expect(!firstRecord().isSelected);
    figures.add("details_ms", paintedAfter(window, [&] { clickAt(rows, showDetailsOfFirstRow(table)); }));
    expect(firstRecord().isShowDetails);
    figures.add("select_all_off_ms", paintedAfter(window, [&] { screen.btnSelectUnselectAll->click(); }));
    table.scrollToTop();
    QApplication::processEvents();
    malloc_trim(0); // what earlier runs freed is not counted as this one's growth
    const double residentBefore = residentMegabytes();
    double worstStep = 0;
    figures.add("scroll_total_ms", paintedAfter(window, [&] { worstStep = scrollThrough(window, table); }));
    figures.add("scroll_worst_step_ms", worstStep);
    figures.add("scroll_growth_MiB", residentMegabytes() - residentBefore);
    table.scrollToTop();
    QApplication::processEvents();
    figures.add("details_after_scroll_ms", paintedAfter(window, [&] { clickAt(rows, showDetailsOfFirstRow(table)); }));
    expect(!firstRecord().isShowDetails && table.model()->rowCount() == count);
}

// Range 0: the number of records.
void BM_ResultsTableUserPath(benchmark::State& state)
{
    Figures figures;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        runOnce(static_cast<int>(state.range(0)), figures);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    figures.report(state);
    scanResults().clear();
}
BENCHMARK(BM_ResultsTableUserPath)
    ->ArgName("records")
    ->Arg(200)
    ->Arg(2000)
    ->Arg(20000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace
