#include "harvest/write_file_bytes.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace vantrel {

namespace {

// A hidden name beside the target that no other writer picks: ".<name>.<pid>.<n>.part".
std::filesystem::path temporaryPath(const std::filesystem::path& target)
{
    static std::atomic<unsigned> counter{0};
    return target.parent_path() /
           ("." + target.filename().string() + "." + std::to_string(::getpid()) + "." +
            std::to_string(counter++) + ".part");
}

bool writeAll(int descriptor, const Bytes& data)
{
    std::size_t written = 0;
    while (written < data.size()) {
        const ssize_t result = ::write(descriptor, data.data() + written, data.size() - written);
        if (result < 0 && errno == EINTR)
            continue;
        if (result <= 0)
            return false;
        written += static_cast<std::size_t>(result);
    }
    return true;
}

} // namespace

bool WriteFileBytes(const std::string& path, const Bytes& data)
{
    if (path.empty())
        return false;
    const std::filesystem::path target(path);
    if (!target.has_filename())
        return false;
    std::error_code error;
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path(), error);
    if (error)
        return false;

    std::filesystem::path temporary;
    int descriptor = -1;
    do {
        temporary = temporaryPath(target);
        descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (descriptor < 0 && errno == EEXIST);
    if (descriptor < 0)
        return false;

    // Flushed before the rename, so a crash cannot leave the new name on a short file.
    const bool complete = writeAll(descriptor, data) && ::fsync(descriptor) == 0;
    const bool closed = ::close(descriptor) == 0;
    if (!complete || !closed || std::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace vantrel
