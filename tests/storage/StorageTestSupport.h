#pragma once
// Helpers shared by the storage tests: whole-file reads, the names a writer
// left behind, and children for limits, mounts and other users.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <sched.h>
#include <sstream>
#include <string>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace karsidan::storage::testing {

namespace fs = std::filesystem;

inline std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteRaw(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// Names in the folder other than the ones given.
inline std::vector<std::string> Others(const fs::path& folder, std::initializer_list<std::string> known)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (std::find(known.begin(), known.end(), name) == known.end())
            names.push_back(name);
    }
    return names;
}

inline std::string Pattern(std::size_t n, char seed)
{
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = char(seed + i % 23);
    return s;
}

// Runs body in a child process and returns what it reports ("" for all
// well), so limits and mounts never touch the test process.
inline std::string InChild(const std::function<std::string()>& body)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return "pipe failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        const std::string report = body();
        (void)!::write(pipeFds[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string report;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, std::size_t(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status))
        return "child died with signal " + std::to_string(WTERMSIG(status));
    return report;
}

// In a private mount namespace, a tmpfs of the given size on folder.
inline std::string MountSmallTmpfs(const fs::path& folder, const std::string& options)
{
    if (::unshare(CLONE_NEWNS) != 0)
        return "SKIP unshare";
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return "SKIP private mounts";
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
        return "SKIP tmpfs";
    return {};
}

// A fresh folder per test, removed with whatever is left in it.
class StorageFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/karsidan-atomic-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        folder = name;
        target = folder / "hasil.txt";
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(folder, ignored);
    }

    fs::path folder;
    fs::path target;
};

} // namespace karsidan::storage::testing
