#include "harvest/fetch_url.h"

#include "web/transfer_limits.h"
#include "web/transfer_url.h"

#include <curl/curl.h>
#include <string_view>

namespace vantrel {

namespace {

constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr long kMaxRedirects = 10;

// Opened by the first call and kept until exit; a failed open is tried again next time.
CURL* g_handle = nullptr;

bool hasWebScheme(std::string_view address)
{
    auto startsWith = [address](std::string_view scheme) {
        if (address.size() < scheme.size())
            return false;
        for (std::size_t i = 0; i < scheme.size(); ++i) {
            const char c = address[i];
            const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
            if (lower != scheme[i])
                return false;
        }
        return true;
    };
    return startsWith("http://") || startsWith("https://");
}

} // namespace

FetchedResource FetchUrl(const Text& address)
{
    FetchedResource fetched;
    const Text withoutFragment = address.substr(0, address.find('#'));
    if (withoutFragment.empty() || !hasWebScheme(withoutFragment))
        return fetched;
    if (!g_handle)
        g_handle = curl_easy_init();
    if (!g_handle)
        return fetched;

    // Nothing of one picture's exchange (credentials, the last host) carries over.
    CURL* handle = g_handle;
    curl_easy_reset(handle);
    const std::string url = transferUrl(withoutFragment);
    curl_slist* headers = curl_slist_append(nullptr, "Accept: */*");
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(handle, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    const TransferGuard limits(handle, fetched.body);

    const CURLcode result = curl_easy_perform(handle);
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &fetched.status);
    fetched.complete = result == CURLE_OK;
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, nullptr);
    curl_slist_free_all(headers);
    return fetched;
}

void ReleaseFetchUrlHandle()
{
    if (g_handle)
        curl_easy_cleanup(g_handle);
    g_handle = nullptr;
}

} // namespace vantrel
