#include "harvest_test_support.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace vantrel::test {

namespace fs = std::filesystem;

TemporaryFolder::TemporaryFolder()
{
    std::string pattern = (fs::temp_directory_path() / "vantrel-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        std::abort();
    m_path = pattern;
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

ScopedEnvironment::ScopedEnvironment(std::string name, const std::optional<std::string>& value)
    : m_name(std::move(name))
{
    if (const char* previous = std::getenv(m_name.c_str()))
        m_previous = previous;
    if (value)
        ::setenv(m_name.c_str(), value->c_str(), 1);
    else
        ::unsetenv(m_name.c_str());
}

ScopedEnvironment::~ScopedEnvironment()
{
    if (m_previous)
        ::setenv(m_name.c_str(), m_previous->c_str(), 1);
    else
        ::unsetenv(m_name.c_str());
}

namespace {

fs::path writeUserDirs(const fs::path& home, const fs::path& desktop)
{
    const fs::path config = home / "config";
    fs::create_directories(config);
    std::ofstream(config / "user-dirs.dirs") << "XDG_DESKTOP_DIR=\"" << desktop.string() << "\"\n";
    return config;
}

} // namespace

TemporaryDesktop::TemporaryDesktop(const std::string& desktopName)
    : m_desktop(m_home.path() / desktopName),
      m_configHome("XDG_CONFIG_HOME", writeUserDirs(m_home.path(), m_desktop).string())
{}

fs::path TemporaryDesktop::picture(int number) const
{
    return m_desktop / "PIC" / (std::to_string(number) + ".jpg");
}

Bytes ReadBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const Bytes& data)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()),
               static_cast<std::streamsize>(data.size()));
}

Bytes BytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

std::vector<std::string> FileNames(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace vantrel::test
