// The startup-items list (launch agents) and the ignore list over 500 and 5,000 rows,
// with a screen reader listening: every event's object is asked its name and state,
// as a reader's bridge does. One run is the user's path through the list: first
// appearance, then the keyboard (Down, Page Down to the end, Home, End), Space on the
// current row's tick box at the end of the list, and a click on the first row's tick
// box. Each step is timed until the window has painted; the input goes through the
// view as the window system delivers it. Goals at 5,000 rows: every keyboard step,
// tick and click within a frame (16 ms), and the mean step, the tick and the click
// within 1.3x their time at 500. Median and worst of 3 runs.
#include "PaintedSteps.h"

#include "Foundation/Settings.h"
#include "Foundation/UserPaths.h"
#include "Platform/Defaults/UserDefaults.h"
#include "Screens/Common/RowTable.h"
#include "Screens/Manage/IgnoreListViewController.h"
#include "Screens/Manage/StartupItemsViewController.h"
#include "Startup/StartupItemsModel.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::int64_t readerEvents = 0;

// What a reader's bridge asks of each event's object.
void readerAsks(QAccessibleEvent* event)
{
    ++readerEvents;
    if (QAccessibleInterface* target = event->accessibleInterface()) {
        benchmark::DoNotOptimize(target->text(QAccessible::Name));
        benchmark::DoNotOptimize(target->state());
        if (QAccessibleInterface* parent = target->parent())
            benchmark::DoNotOptimize(parent->indexOfChild(target));
    }
}

// What a reader's registration does: Qt raises its events only while active.
void setReaderListening(bool listening)
{
    QAccessible::installUpdateHandler(listening ? readerAsks : nullptr);
    if (QPlatformAccessibility* accessibility = QGuiApplicationPrivate::platformIntegration()->accessibility())
        accessibility->setActive(listening);
}

void keyClick(int key)
{
    QWidget* focused = QApplication::focusWidget();
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, Qt::NoModifier);
        QApplication::sendEvent(focused, &event);
    }
}

void clickAt(QWidget& area, QPoint point)
{
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, point, area.mapToGlobal(point), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&area, &event);
    }
}

void expect(bool holds)
{
    if (!holds)
        std::abort();
}

bool isTicked(const RowTableView& table, int row)
{
    return table.model()->index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
}

// The keyboard through the list and the ticks: the worst of each kind of step.
void walkTheList(QWidget& window, RowTableView& table, Figures& figures)
{
    table.setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    const int last = table.model()->rowCount() - 1;
    const auto steps = [&](const char* name, int key, const std::function<bool()>& more) {
        double total = 0, worst = 0;
        int count = 0;
        for (; more(); ++count) {
            const double each = paintedAfter(window, [key] { keyClick(key); });
            total += each;
            worst = std::max(worst, each);
        }
        figures.add(std::string(name) + "_mean_step_ms", total / count);
        figures.add(std::string(name) + "_worst_step_ms", worst);
    };
    int downs = 0;
    steps("down", Qt::Key_Down, [&] { return downs++ < 20; });
    steps("page_down", Qt::Key_PageDown, [&] { return table.currentIndex().row() < last; });
    figures.add("home_ms", paintedAfter(window, [] { keyClick(Qt::Key_Home); }));
    figures.add("end_ms", paintedAfter(window, [] { keyClick(Qt::Key_End); }));
    expect(table.currentIndex().row() == last);
    const bool lastTicked = isTicked(table, last);
    figures.add("space_tick_last_ms", paintedAfter(window, [] { keyClick(Qt::Key_Space); }));
    expect(isTicked(table, last) != lastTicked);
    figures.add("home_again_ms", paintedAfter(window, [] { keyClick(Qt::Key_Home); }));
    const bool firstTicked = isTicked(table, 0);
    figures.add("click_tick_first_ms",
                paintedAfter(window, [&] { clickAt(*table.viewport(), table.controlRect(0, 0).center()); }));
    expect(isTicked(table, 0) != firstTicked);
}

void plantLaunchAgents(int count)
{
    const fs::path folder = userPath("/Library/LaunchAgents");
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (int each = 0; each < count; ++each) {
        const std::string label = "com.example.agent" + std::to_string(each);
        std::ofstream(folder / (label + ".plist"))
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>Label</key><string>"
            << label << "</string><key>ProgramArguments</key><array><string>/bin/sleep</string><string>30</string>"
            << "</array></dict></plist>\n";
    }
}

void storeIgnoreList(int count)
{
    platform::Array paths;
    for (int each = 0; each < count; ++each)
        paths.push_back(userPath("/Downloads/ignored " + std::to_string(each) + ".dmg"));
    appGroupDefaults()->setObject(SettingsKey::ignoreAllPaths, paths);
}

// The screen made in a window and its list loaded, then walked; `load` waits for the list.
template <class Screen, class Load>
void runOnce(int rows, Load load, Figures& figures)
{
    QWidget window;
    window.resize(808, 652);
    window.show();
    QApplication::processEvents();
    std::unique_ptr<Screen> screen;
    figures.add("appear_ms", paintedAfter(window, [&] {
        screen = std::make_unique<Screen>(&window);
        screen->setGeometry(window.rect());
        screen->show();
        load(*screen);
    }));
    expect(screen->tableView->model()->rowCount() == rows);
    walkTheList(window, *screen->tableView, figures);
}

template <class Screen, class Load>
void measure(benchmark::State& state, Load load)
{
    setReaderListening(true);
    Figures figures;
    readerEvents = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        runOnce<Screen>(static_cast<int>(state.range(0)), load, figures);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    figures.report(state);
    state.counters["reader_events_per_run"] = static_cast<double>(readerEvents) / static_cast<double>(state.iterations());
    setReaderListening(false);
}

// Range 0: the number of launch agents.
void BM_StartupListUserPath(benchmark::State& state)
{
    plantLaunchAgents(static_cast<int>(state.range(0)));
    measure<StartupItemsViewController>(state, [](StartupItemsViewController& screen) {
        while (screen.model().isLoading())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        screen.clickedLaunchAgents();
        QApplication::processEvents();
    });
}

// Range 0: the number of stored paths.
void BM_IgnoreListUserPath(benchmark::State& state)
{
    storeIgnoreList(static_cast<int>(state.range(0)));
    measure<IgnoreListViewController>(state, [](IgnoreListViewController& screen) { screen.viewWillAppear(); });
}

// 500 and 5,000 rows, each three times.
void listSizes(benchmark::internal::Benchmark* bench)
{
    bench->ArgName("rows")->Arg(500)->Arg(5000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
}
BENCHMARK(BM_StartupListUserPath)->Apply(listSizes);
BENCHMARK(BM_IgnoreListUserPath)->Apply(listSizes);

} // namespace
