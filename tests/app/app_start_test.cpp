#include "app/app_start.h"
#include "app/component_system.h"
#include "app/exit_hooks.h"
#include "ui/main_window.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <QApplication>
#include <QTimer>

extern char** environ;

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using ::testing::AllOf;
using ::testing::HasSubstr;

// What the test makes of the real message loop, once AppStart has shown the window.
enum class Scenario
{
    CloseAtOnce,
    CloseUnderARunningCommand,
};
Scenario g_scenario = Scenario::CloseAtOnce;

MainWindow* shownMainWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* mainWindow = qobject_cast<MainWindow*>(widget);
            mainWindow && mainWindow->isVisible())
            return mainWindow;
    return nullptr;
}

void runScenario()
{
    MainWindow* mainWindow = shownMainWindow();
    if (!mainWindow) {
        std::fprintf(stderr, "no main window shown\n");
        return;
    }
    std::fprintf(stderr, "window shown\n");
    if (g_scenario == Scenario::CloseAtOnce) {
        mainWindow->close();
        return;
    }
    // Like a command appending rows: it pumps events until the window closes under it.
    QTimer::singleShot(0, mainWindow, &QWidget::close);
    int rows = 0;
    while (window().PumpEvents() && rows < 100000)
        window().AppendRow(超级列表框1), ++rows;
    std::fprintf(stderr, "command stopped: %s\n", window().IsClosed() ? "window closed" : "no");
}

// Runs inside AppStart, as soon as it has created the application object.
void scheduleScenario()
{
    QTimer::singleShot(0, runScenario);
}
Q_COREAPP_STARTUP_FUNCTION(scheduleScenario)

void reportExitHook()
{
    std::fprintf(stderr, "exit hook ran: component system %s, window %s\n",
                 ComponentSystemIsUp() ? "up" : "down", window().IsClosed() ? "gone" : "alive");
}

::testing::Matcher<const std::string&> occursOnce(const std::string& line)
{
    return ::testing::Truly([line](const std::string& text) {
        const std::size_t first = text.find(line);
        return first != std::string::npos && text.find(line, first + 1) == std::string::npos;
    });
}

[[noreturn]] void runAppStart(Scenario scenario)
{
    g_scenario = scenario;
    RegisterExitHook(reportExitHook);
    RegisterExitHook(reportExitHook);
    char name[] = "vantrel";
    std::array<char*, 2> argv{name, nullptr};
    const int exitCode = AppStart(1, argv.data());
    std::fprintf(stderr, "component system after AppStart: %s\n",
                 ComponentSystemIsUp() ? "up" : "down");
    std::fflush(stderr);
    _exit(exitCode);
}

TEST(AppStart, ClosingRightAfterStartUpRunsTheExitHookOnceAndExitsWithZero)
{
    EXPECT_EXIT(runAppStart(Scenario::CloseAtOnce), ::testing::ExitedWithCode(0),
                AllOf(HasSubstr("window shown"),
                      occursOnce("exit hook ran: component system up, window gone"),
                      HasSubstr("component system after AppStart: down")));
}

TEST(AppStart, ClosingUnderARunningCommandStopsItAndStillExitsWithZero)
{
    EXPECT_EXIT(runAppStart(Scenario::CloseUnderARunningCommand), ::testing::ExitedWithCode(0),
                AllOf(HasSubstr("command stopped: window closed"),
                      occursOnce("exit hook ran: component system up, window gone")));
}

struct Finished
{
    int status = 0;
    std::string output; // stdout and stderr together
};

// Runs the real program with its display settings replaced; nullopt past the deadline.
std::optional<Finished> runProgram(const std::vector<std::string>& displaySettings,
                                   std::chrono::milliseconds deadline)
{
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string variable = *entry;
        if (variable.rfind("DISPLAY=", 0) != 0 && variable.rfind("WAYLAND_DISPLAY=", 0) != 0 &&
            variable.rfind("QT_QPA_PLATFORM=", 0) != 0)
            environment.push_back(variable);
    }
    environment.insert(environment.end(), displaySettings.begin(), displaySettings.end());
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    char program[] = VANTREL_EXECUTABLE;
    char* argv[] = {program, nullptr};
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        return std::nullopt;
    }

    Finished finished;
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        pollfd readable{pipeEnds[0], POLLIN, 0};
        if (left <= 0ms || poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            close(pipeEnds[0]);
            return std::nullopt;
        }
        char chunk[4096];
        const ssize_t got = read(pipeEnds[0], chunk, sizeof chunk);
        if (got <= 0)
            break;
        finished.output.append(chunk, static_cast<std::size_t>(got));
    }
    close(pipeEnds[0]);
    waitpid(child, &finished.status, 0);
    return finished;
}

const std::vector<std::string> kNoDisplays[] = {
    {"QT_QPA_PLATFORM=xcb"},
    {"QT_QPA_PLATFORM=xcb", "DISPLAY=:64999"},
    {"QT_QPA_PLATFORM=xcb", "DISPLAY=nowhere:0.0"},
    {},
};

TEST(AppStart, WithoutADisplayItSaysSoInOneLineAndExitsWithMinusOne)
{
    for (const std::vector<std::string>& settings : kNoDisplays) {
        SCOPED_TRACE(::testing::PrintToString(settings));
        const std::optional<Finished> finished = runProgram(settings, 60s);
        ASSERT_TRUE(finished.has_value()) << "still running at the deadline";
        ASSERT_TRUE(WIFEXITED(finished->status))
            << "ended by signal " << WTERMSIG(finished->status);
        EXPECT_EQ(WEXITSTATUS(finished->status), 255);
        const std::string& output = finished->output;
        EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
        EXPECT_THAT(output, AllOf(::testing::StartsWith("vantrel: cannot open a display"),
                                  HasSubstr("xvfb-run")));
    }
}

} // namespace
} // namespace vantrel
