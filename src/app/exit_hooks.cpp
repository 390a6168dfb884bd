#include "app/exit_hooks.h"

#include <algorithm>
#include <vector>

namespace vantrel {
namespace {

std::vector<ExitHook>& exitHooks()
{
    static std::vector<ExitHook> hooks;
    return hooks;
}

} // namespace

void RegisterExitHook(ExitHook hook)
{
    std::vector<ExitHook>& hooks = exitHooks();
    if (hook && std::find(hooks.begin(), hooks.end(), hook) == hooks.end())
        hooks.push_back(hook);
}

void RunExitHooks()
{
    std::vector<ExitHook>& hooks = exitHooks();
    // By index: a hook may register another one, which then runs too.
    for (std::size_t i = 0; i < hooks.size(); ++i)
        hooks[i]();
    hooks.clear();
}

} // namespace vantrel
