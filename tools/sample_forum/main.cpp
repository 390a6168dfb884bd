// Serves the sample forum until interrupted. Prints the port it listens on as the
// first line of its output, for scripts that point http_proxy at it.
//   sample_forum [--port N] [--address A] [--content FOLDER]
#include "sample_forum.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pthread.h>
#include <string>

int main(int argc, char** argv)
{
    std::string address = "127.0.0.1";
    int port = 0;
    std::filesystem::path content = vantrel::SampleForum::defaultContentFolder();
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--port") == 0 && hasValue) {
            port = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--address") == 0 && hasValue) {
            address = argv[++i];
        } else if (std::strcmp(argv[i], "--content") == 0 && hasValue) {
            content = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s [--port N] [--address A] [--content FOLDER]\n",
                         argv[0]);
            return 2;
        }
    }

    // Blocked before the server's threads start, so that they inherit the mask and
    // only sigwait below sees the signals.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    vantrel::SampleForum forum(content);
    if (!forum.start(address, port)) {
        std::fprintf(stderr, "sample_forum: %s\n", forum.error().c_str());
        return 1;
    }
    std::printf("%d\n", forum.port());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    forum.stop();
    return 0;
}
