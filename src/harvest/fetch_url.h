#pragma once

#include "web/text.h"

namespace vantrel {

// What one picture download brought back.
struct FetchedResource
{
    Bytes body;
    long status = 0;       // the final response's HTTP status; 0 when none arrived
    bool complete = false; // the exchange ended normally with the whole body

    bool succeeded() const { return complete && status >= 200 && status <= 299; }
};

// Fetches an http or https address with one GET exchange on the calling thread, as the
// picture hosts must see it: HTTP/1.0, a fixed old browser's User-Agent, "Accept: */*",
// no Referer, no cookies, no cache; the fragment is not sent, a user name and password
// in the address are. Redirects are followed (at most 10, http and https only). The
// proxy comes from http_proxy / https_proxy / no_proxy.
FetchedResource FetchUrl(const Text& address);

// Releases the client handle that the first FetchUrl opened; for the exit hook.
void ReleaseFetchUrlHandle();

} // namespace vantrel
