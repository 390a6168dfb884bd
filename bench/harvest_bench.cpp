// A whole harvest of the bundled sample forum on loopback: the three commands one after
// the other on the real window (offscreen), through the forum as the HTTP proxy.
// The download pauses 500 ms after each picture by design; what is measured is the time
// spent beyond those pauses, and how much processor time the pauses themselves cost.
#include "app/shared_objects.h"
#include "harvest/commands.h"
#include "harvest/delay_with_events.h"
#include "harvest/fetch_url.h"
#include "sample_forum.h"
#include "ui/main_window.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <curl/curl.h>
#include <filesystem>
#include <fstream>
#include <memory>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

namespace {

using namespace vantrel;

constexpr double kPauseSeconds = 0.5;

double processorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double wallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Dismisses every message box as soon as it is shown, without polling.
class MessageDismisser : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto* box = qobject_cast<QMessageBox*>(watched))
                QTimer::singleShot(0, box, &QMessageBox::accept);
        }
        return false;
    }
};

// The sample forum, a desktop in a temporary folder, the shared objects and the window.
struct Harvest
{
    SampleForum forum;
    std::filesystem::path home;
    std::unique_ptr<MainWindow> mainWindow;
    MessageDismisser dismisser;

    Harvest()
    {
        char pattern[] = "/tmp/vantrel-bench-XXXXXX";
        home = ::mkdtemp(pattern);
        std::filesystem::create_directories(home / "config");
        std::ofstream(home / "config" / "user-dirs.dirs")
            << "XDG_DESKTOP_DIR=\"" << (home / "Desktop").string() << "\"\n";
        ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        if (!forum.start())
            std::abort();
        ::setenv("http_proxy", forum.proxyUrl().c_str(), 1);
        ::setenv("no_proxy", "", 1);
        ::unsetenv("all_proxy");
        ::unsetenv("ALL_PROXY");

        InitGlobals();
        mainWindow = std::make_unique<MainWindow>();
        mainWindow->showCentred();
        qApp->installEventFilter(&dismisser);
        mainWindow->findChild<QLineEdit*>(QStringLiteral("编辑框1"))
            ->setText(QStringLiteral("scenery"));
    }

    ~Harvest()
    {
        qApp->removeEventFilter(&dismisser);
        mainWindow.reset();
        ReleaseFetchUrlHandle();
        ReleaseGlobals();
        forum.stop();
        std::filesystem::remove_all(home);
    }
};

void BM_WholeHarvest(benchmark::State& state)
{
    Harvest harvest;
    double beyondPauses = 0;
    double processor = 0;
    int pictures = 0;
    for (auto _ : state) {
        window().DeleteAllRows(超级列表框2);
        const double wallStart = wallSeconds();
        const double processorStart = processorSeconds();
        OnListThreads();
        OnExtractImages();
        pictures = window().RowCount(超级列表框2);
        OnDownloadImages();
        const double wall = wallSeconds() - wallStart;
        state.SetIterationTime(wall);
        beyondPauses += wall - pictures * kPauseSeconds;
        processor += processorSeconds() - processorStart;
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["pictures"] = pictures;
    state.counters["beyond_pauses_ms"] = 1000 * beyondPauses / iterations;
    state.counters["cpu_ms"] = 1000 * processor / iterations;
}
BENCHMARK(BM_WholeHarvest)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_PauseProcessorTime(benchmark::State& state)
{
    Harvest harvest;
    double wall = 0;
    double processor = 0;
    for (auto _ : state) {
        const double wallStart = wallSeconds();
        const double processorStart = processorSeconds();
        if (!DelayWithEvents(static_cast<int>(kPauseSeconds * 1000)))
            state.SkipWithError("the window was closed");
        const double took = wallSeconds() - wallStart;
        state.SetIterationTime(took);
        wall += took;
        processor += processorSeconds() - processorStart;
    }
    state.counters["cpu_percent_of_a_core"] = 100 * processor / wall;
    state.counters["overshoot_ms"] =
        1000 * (wall / static_cast<double>(state.iterations()) - kPauseSeconds);
}
BENCHMARK(BM_PauseProcessorTime)->UseManualTime()->Iterations(4)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    curl_global_init(CURL_GLOBAL_DEFAULT);
    {
        QApplication application(argc, argv);
        benchmark::Initialize(&argc, argv);
        if (benchmark::ReportUnrecognizedArguments(argc, argv))
            return 1;
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    curl_global_cleanup();
    return 0;
}
