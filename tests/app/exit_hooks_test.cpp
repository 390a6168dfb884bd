#include "app/exit_hooks.h"

#include <gtest/gtest.h>
#include <string>

namespace vantrel {
namespace {

std::string g_ran;

void hookA()
{
    g_ran += "A";
}
void hookB()
{
    g_ran += "B";
}
void hookRegisteringA()
{
    g_ran += "R";
    RegisterExitHook(hookA);
}

TEST(ExitHooks, RunOnceEachInTheOrderOfRegistrationAndThenTheListIsEmpty)
{
    g_ran.clear();
    RegisterExitHook(hookB);
    RegisterExitHook(hookA);
    RegisterExitHook(hookB);
    RegisterExitHook(nullptr);
    RunExitHooks();
    EXPECT_EQ(g_ran, "BA");
    RunExitHooks();
    EXPECT_EQ(g_ran, "BA");
}

TEST(ExitHooks, AHookRegisteredWhileTheHooksRunRunsToo)
{
    g_ran.clear();
    RegisterExitHook(hookRegisteringA);
    RunExitHooks();
    EXPECT_EQ(g_ran, "RA");
}

} // namespace
} // namespace vantrel
