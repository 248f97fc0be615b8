#include "cli/TerminalPrompt.h"

#include "cli/CryptIo.h"
#include "storage/AtomicFile.h"
#include "storage/WindowsErrors.h"
#include "storage/WindowsText.h"

#include <windows.h>

namespace {

constexpr std::size_t kMaxLine = 1024;

// What the handler needs to give the echo back; set only while asking.
HANDLE g_input = INVALID_HANDLE_VALUE;
DWORD g_savedMode = 0;

// Runs on a thread of its own when Ctrl-C, Ctrl-Break or a closing window
// ends the program; FALSE lets the default handler end it.
BOOL WINAPI RestoreOnStop(DWORD)
{
    if (g_input != INVALID_HANDLE_VALUE)
        ::SetConsoleMode(g_input, g_savedMode);
    return FALSE;
}

class Handle {
public:
    explicit Handle(const wchar_t* name)
        : handle_(::CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr))
    { }
    ~Handle()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

void WriteAll(HANDLE console, const std::string& text)
{
    std::wstring wide;
    karsidan::storage::WideFromUtf8(text, &wide);
    std::wstring_view rest = wide;
    while (!rest.empty()) {
        DWORD n = 0;
        if (!::WriteConsoleW(console, rest.data(), static_cast<DWORD>(rest.size()), &n, nullptr) || n == 0)
            throw CryptIoError("Gagal menulis ke terminal: "
                               + karsidan::storage::ReasonFor(karsidan::storage::LastErrno()));
        rest.remove_prefix(n);
    }
}

class QuietConsole {
public:
    QuietConsole(HANDLE input, DWORD mode)
    {
        g_savedMode = mode;
        g_input = input;
        ::SetConsoleCtrlHandler(RestoreOnStop, TRUE);
        ::SetConsoleMode(input, (mode | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) & ~DWORD{ENABLE_ECHO_INPUT});
    }
    ~QuietConsole()
    {
        ::SetConsoleMode(g_input, g_savedMode);
        ::SetConsoleCtrlHandler(RestoreOnStop, FALSE);
        g_input = INVALID_HANDLE_VALUE;
    }
    QuietConsole(const QuietConsole&) = delete;
    QuietConsole& operator=(const QuietConsole&) = delete;
};

} // namespace

std::optional<std::string> PromptSecret(const std::string& prompt)
{
    const Handle input(L"CONIN$");
    const Handle output(L"CONOUT$");
    DWORD mode = 0;
    if (input.get() == INVALID_HANDLE_VALUE || output.get() == INVALID_HANDLE_VALUE
        || !::GetConsoleMode(input.get(), &mode))
        return std::nullopt;
    std::wstring line;
    {
        // Echo off before the question, so that no early answer shows.
        const QuietConsole quiet(input.get(), mode);
        WriteAll(output.get(), prompt);
        wchar_t c = 0;
        for (;;) {
            DWORD n = 0;
            if (!::ReadConsoleW(input.get(), &c, 1, &n, nullptr))
                throw CryptIoError("Gagal membaca dari terminal: "
                                   + karsidan::storage::ReasonFor(karsidan::storage::LastErrno()));
            if (n == 0 || c == L'\n')
                break;
            if (line.size() < kMaxLine)
                line += c;
        }
    }
    // The Enter the user typed was not echoed either.
    WriteAll(output.get(), "\n");
    if (!line.empty() && line.back() == L'\r')
        line.pop_back();
    return karsidan::storage::Utf8FromWide(line);
}
