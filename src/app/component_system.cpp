#include "app/component_system.h"

#include <curl/curl.h>

namespace vantrel {
namespace {

bool g_up = false;

} // namespace

void StartComponentSystem()
{
    if (!g_up)
        g_up = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
}

void StopComponentSystem()
{
    if (g_up)
        curl_global_cleanup();
    g_up = false;
}

bool ComponentSystemIsUp()
{
    return g_up;
}

} // namespace vantrel
