#pragma once

#include <memory>

#include <QApplication>

namespace vantrel {

// The process exit code when the main window cannot be created.
inline constexpr int kWindowFailedExitCode = -1;

// Connects to the window system. Where that is impossible (no display, a display that
// does not answer) it prints one line on stderr that says so and how to run the program,
// and ends the process at once with kWindowFailedExitCode instead of Qt's abort.
std::unique_ptr<QApplication> StartWindowSystem(int& argc, char** argv);

} // namespace vantrel
