#pragma once
// The few system calls the portable tests make to set the scene (pipes,
// descriptors moved onto 0 and 1, environment variables), for the tests
// that run both here and under Wine. The code under test never uses these.

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <stdlib.h>
#include <windows.h>
#else
#include <cstdlib>
#include <unistd.h>
#endif

namespace portable {

#ifdef _WIN32
inline bool MakePipe(int ends[2]) { return ::_pipe(ends, 1 << 16, _O_BINARY | _O_NOINHERIT) == 0; }
inline int Dup(int fd) { return ::_dup(fd); }
inline bool Dup2(int from, int to) { return ::_dup2(from, to) == 0; }
inline void CloseFd(int fd) { ::_close(fd); }
inline long WriteFd(int fd, const std::string& bytes)
{
    return ::_write(fd, bytes.data(), static_cast<unsigned>(bytes.size()));
}
inline std::wstring Wide(const std::string& utf8)
{
    std::wstring wide(utf8.size() + 1, L'\0');
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                                        static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(n));
    return wide;
}
inline void SetEnvironment(const std::string& name, const std::string& value)
{
    ::_wputenv_s(Wide(name).c_str(), Wide(value).c_str());
}
inline void UnsetEnvironment(const std::string& name) { ::_wputenv_s(Wide(name).c_str(), L""); }
// A descriptor in the text mode a program's standard ones start in.
inline void TextModeAsAtStart(int fd) { ::_setmode(fd, _O_TEXT); }
#else
inline bool MakePipe(int ends[2]) { return ::pipe(ends) == 0; }
inline int Dup(int fd) { return ::dup(fd); }
inline bool Dup2(int from, int to) { return ::dup2(from, to) == to; }
inline void CloseFd(int fd) { ::close(fd); }
inline long WriteFd(int fd, const std::string& bytes) { return ::write(fd, bytes.data(), bytes.size()); }
inline void SetEnvironment(const std::string& name, const std::string& value)
{
    ::setenv(name.c_str(), value.c_str(), 1);
}
inline void UnsetEnvironment(const std::string& name) { ::unsetenv(name.c_str()); }
inline void TextModeAsAtStart(int) { }
#endif

// A path from UTF-8, the way the program's users give it.
inline std::filesystem::path Utf8Path(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// The path as UTF-8 text, as karsidan-cli receives it.
inline std::string Utf8Of(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// A folder of its own under the system's temporary folder, removed at the
// end.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const std::string& stem)
    {
        const auto base = std::filesystem::temp_directory_path();
        for (unsigned n = 0;; ++n) {
            path_ = base / (stem + "-" + std::to_string(std::random_device{}()) + std::to_string(n));
            if (std::filesystem::create_directory(path_))
                break;
        }
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A whole file's bytes, or "" when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace portable
