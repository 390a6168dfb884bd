#pragma once

#include "web/text.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TemporaryFolder
{
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Sets (or, given nullopt, unsets) an environment variable and restores it afterwards.
class ScopedEnvironment
{
public:
    ScopedEnvironment(std::string name, const std::optional<std::string>& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

// Makes the XDG user directories name a desktop folder (not created) inside a fresh
// temporary folder, for as long as it lives.
class TemporaryDesktop
{
public:
    explicit TemporaryDesktop(const std::string& desktopName = "Desktop");

    const std::filesystem::path& desktop() const { return m_desktop; }
    std::filesystem::path picture(int number) const;

private:
    TemporaryFolder m_home;
    std::filesystem::path m_desktop;
    ScopedEnvironment m_configHome;
};

Bytes ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const Bytes& data);
Bytes BytesOf(const std::string& text);
// The names in a folder, sorted; empty when it does not exist.
std::vector<std::string> FileNames(const std::filesystem::path& folder);

} // namespace vantrel::test
