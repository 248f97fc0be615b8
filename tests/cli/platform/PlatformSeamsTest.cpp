// The command line's platform seams, through the same tests on Linux and,
// cross-built, on Windows under Wine: standard streams pass every byte,
// names and keys in UTF-8 arrive whole, files beyond 4 GiB are read at
// their offsets, a reader that has gone is the same message everywhere,
// and arguments reach another program exactly.
#include "cli/Commands.h"
#include "cli/CryptInput.h"
#include "cli/CryptIo.h"
#include "cli/KeySources.h"
#include "cli/StandardDescriptors.h"
#include "cli/TerminalPrompt.h"
#include "cli/platform/Environment.h"
#include "cli/platform/StopSignals.h"
#include "cli/platform/WindowsCommandLine.h"
#include "tests/support/PortableSystem.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <csignal>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

#ifdef _WIN32
#include <shellapi.h>
#endif

namespace fs = std::filesystem;

namespace {

using portable::ReadFile;
using portable::WriteFile;

// Descriptor `fd` of this process on something else for a while.
class Redirected {
public:
    Redirected(int fd, int onto) : fd_(fd), saved_(portable::Dup(fd)) { portable::Dup2(onto, fd); }
    ~Redirected()
    {
        portable::Dup2(saved_, fd_);
        portable::CloseFd(saved_);
    }
    Redirected(const Redirected&) = delete;
    Redirected& operator=(const Redirected&) = delete;

private:
    int fd_;
    int saved_;
};

// Standard input from a pipe holding `bytes`, its writer closed, in the
// mode a program starts with; GuardStandardDescriptors comes after.
class PipedInput {
public:
    explicit PipedInput(const std::string& bytes)
    {
        int ends[2];
        EXPECT_TRUE(portable::MakePipe(ends));
        EXPECT_EQ(portable::WriteFd(ends[1], bytes), static_cast<long>(bytes.size()));
        portable::CloseFd(ends[1]);
        redirected_.emplace(0, ends[0]);
        portable::CloseFd(ends[0]);
        portable::TextModeAsAtStart(0);
    }

private:
    std::optional<Redirected> redirected_;
};

// Every byte a text mode would touch: CR, LF, CR LF, Ctrl-Z (0x1A) in the
// middle and at the end.
const std::string kTouchy = std::string("x\x1Ay\r\nz\rw\n\x1A", 10) + "akhir\x1A";

} // namespace

TEST(PlatformSeams, StandardStreamsKeepCtrlZAndCarriageReturns)
{
    {
        const PipedInput in(kTouchy);
        ASSERT_TRUE(GuardStandardDescriptors());
        CryptInput input("-");
        EXPECT_EQ(input.ReadAll().View(), kTouchy);
    }
    portable::TemporaryFolder folder("karsidan-seams");
    const fs::path file = folder.path() / "keluaran";
    {
        WriteFile(file, "");
        std::FILE* out = std::fopen(portable::Utf8Of(file).c_str(), "wb");
        ASSERT_NE(out, nullptr);
        {
            const Redirected redirected(1, fileno(out));
            portable::TextModeAsAtStart(1);
            ASSERT_TRUE(GuardStandardDescriptors());
            WriteCryptOutput(kTouchy);
        }
        std::fclose(out);
    }
    EXPECT_EQ(ReadFile(file), kTouchy);
}

TEST(PlatformSeams, RawEncryptionOfStandardInputRoundTripsEveryByte)
{
    portable::TemporaryFolder folder("karsidan-seams");
    const std::string cipher = portable::Utf8Of(folder.path() / "sandi.txt");
    const std::string back = portable::Utf8Of(folder.path() / "kembali.bin");
    {
        const PipedInput in(kTouchy);
        ASSERT_TRUE(GuardStandardDescriptors());
        ASSERT_EQ(RunEncrypt({"encrypt", "--raw", "-1", "satu", "-2", "dua", "-3", "tiga", "-o", cipher}), 0);
    }
    const std::string digits = ReadFile(portable::Utf8Path(cipher));
    EXPECT_EQ(digits.size(), (kTouchy.size() + 7) / 8 * 16 + 1) << digits;
    ASSERT_EQ(RunDecrypt({"decrypt", "--raw", "-1", "satu", "-2", "dua", "-3", "tiga", "-o", back, cipher}), 0);
    EXPECT_EQ(ReadFile(portable::Utf8Path(back)), kTouchy);
}

TEST(PlatformSeams, AReaderThatHasGoneIsTheSameMessage)
{
    ASSERT_TRUE(GuardStandardDescriptors());
    int ends[2];
    ASSERT_TRUE(portable::MakePipe(ends));
    portable::CloseFd(ends[0]);
    std::string message;
    {
        const Redirected redirected(1, ends[1]);
        portable::CloseFd(ends[1]);
        try {
            // More than a pipe holds, should the reader's end linger.
            WriteCryptOutput(std::string(std::size_t{1} << 20, 'x'));
        } catch (const CryptIoError& error) {
            message = error.what();
        }
    }
    EXPECT_EQ(message, "Gagal menulis keluaran: pembaca sudah menutup pipa");
}

TEST(PlatformSeams, Utf8KeysFromAFileWithAUtf8Name)
{
    portable::TemporaryFolder folder("karsidan-seams");
    const fs::path keys = portable::Utf8Path(portable::Utf8Of(folder.path())
                                             + "/kunci-\xC3\xB1"
                                               "and\xC3\xBA-\xE2\x82\xAC.txt");
    WriteFile(keys,
              "caf\xC3\xA9\r\n\xC3\xB1"
              "and\xC3\xBA\n\xE2\x82\xACuro\n");
    KeyArguments fromFile;
    fromFile.keysFile = portable::Utf8Of(keys);
    const std::array<std::string, 3> expected{"caf\xC3\xA9",
                                              "\xC3\xB1"
                                              "and\xC3\xBA",
                                              "\xE2\x82\xACuro"};
    EXPECT_EQ(ReadKeyTexts(fromFile), expected);
}

TEST(PlatformSeams, Utf8KeysFromTheEnvironment)
{
    const std::array<std::string, 3> variables{"\xC3\xA9"
                                               "1",
                                               "\xC3\xBC"
                                               "2",
                                               "\xE2\x82\xAC"
                                               "3"};
    for (int box = 0; box < 3; ++box)
        portable::SetEnvironment("KARSIDAN_KEY" + std::to_string(box + 1), variables[box]);
    EXPECT_EQ(ReadKeyTexts({}), variables);
    EXPECT_EQ(platform::EnvironmentValue("KARSIDAN_KEY2"), variables[1]);
    for (int box = 0; box < 3; ++box)
        portable::UnsetEnvironment("KARSIDAN_KEY" + std::to_string(box + 1));
    EXPECT_EQ(platform::EnvironmentValue("KARSIDAN_KEY2"), std::nullopt);
}

TEST(PlatformSeams, Utf8NamesAndKeysRoundTripThroughTheCommands)
{
    portable::TemporaryFolder folder("karsidan-seams");
    const std::string base = portable::Utf8Of(folder.path()) + "/";
    const std::string text = base + "teks-\xC3\xA9t\xC3\xA9-\xE2\x82\xAC.txt";
    const std::string cipher = base + "sandi-\xC3\xB1.txt";
    const std::string back = base + "kembali-\xC3\xBC.txt";
    const std::string content = "Halo dunia \xC2\xBD \xE2\x82\xAC\nbaris kedua\n";
    WriteFile(portable::Utf8Path(text), content);
    const std::vector<std::string> keys{"-1",
                                        "caf\xC3\xA9",
                                        "-2",
                                        "\xC3\xB1"
                                        "and\xC3\xBA",
                                        "-3",
                                        "\xE2\x82\xACuro"};
    std::vector<std::string> encrypt{"encrypt"};
    encrypt.insert(encrypt.end(), keys.begin(), keys.end());
    encrypt.insert(encrypt.end(), {"-o", cipher, text});
    ASSERT_EQ(RunEncrypt(encrypt), 0);
    std::vector<std::string> decrypt{"decrypt"};
    decrypt.insert(decrypt.end(), keys.begin(), keys.end());
    decrypt.insert(decrypt.end(), {"-o", back, cipher});
    ASSERT_EQ(RunDecrypt(decrypt), 0);
    EXPECT_EQ(ReadFile(portable::Utf8Path(back)), content);
    // The files carry the names given, not their bytes read as another
    // code page.
    EXPECT_TRUE(fs::exists(portable::Utf8Path(cipher)));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder.path()))
        ++entries;
    EXPECT_EQ(entries, 3u);
}

TEST(PlatformSeams, FilesBeyondFourGiBAreReadAtTheirOffsets)
{
    portable::TemporaryFolder folder("karsidan-seams");
    const fs::path file = folder.path() / "besar.bin";
    constexpr unsigned long long kMarkAt = (1ull << 32) + 100;
    const std::string mark = "tanda di atas 4 GiB";
    {
        std::ofstream out(file, std::ios::binary);
        out.seekp(static_cast<std::streamoff>(kMarkAt));
        out << mark;
        if (!out)
            GTEST_SKIP() << "no sparse file of 4 GiB here";
    }
    CryptInput input(portable::Utf8Of(file));
    ASSERT_TRUE(input.Rereadable());
    EXPECT_EQ(input.Size(), static_cast<long long>(kMarkAt + mark.size()));
    std::string buffer(64, '\0');
    const std::size_t got = input.ReadAt({buffer.data(), buffer.size()}, kMarkAt - 3);
    EXPECT_EQ(buffer.substr(0, got), std::string(3, '\0') + mark);
    EXPECT_EQ(input.ReadAt({buffer.data(), buffer.size()}, kMarkAt + mark.size()), 0u);
    input.Rewind();
    EXPECT_EQ(input.ReadSome({buffer.data(), 4}), 4u);
    EXPECT_EQ(buffer.substr(0, 4), std::string(4, '\0'));
}

TEST(PlatformSeams, MissingFilesAndFoldersAreTheSameMessages)
{
    portable::TemporaryFolder folder("karsidan-seams");
    const std::string missing = portable::Utf8Of(folder.path() / "tidak-ada.txt");
    const std::string here = portable::Utf8Of(folder.path());
    auto messageOf = [](const std::string& file) -> std::string {
        try {
            CryptInput input(file);
        } catch (const CryptIoError& error) {
            return error.what();
        }
        return "opened";
    };
    EXPECT_EQ(messageOf(missing), "Tidak dapat membuka " + missing + ": berkas tidak ada");
    EXPECT_EQ(messageOf(here), "Tidak dapat membuka " + here + ": itu folder, bukan berkas");
    KeyArguments fromFile;
    fromFile.keysFile = missing;
    try {
        ReadKeyTexts(fromFile);
        ADD_FAILURE() << "a missing keys file was read";
    } catch (const CryptIoError& error) {
        EXPECT_EQ(std::string(error.what()), "Berkas kunci " + missing + " tidak dapat dibuka: berkas tidak ada");
    }
}

#ifdef _WIN32
TEST(PlatformSeams, KeysFileNamesWindowsCannotHoldAreRefused)
{
    portable::TemporaryFolder folder("karsidan-seams");
    // "kunci." would open "kunci" on Windows.
    WriteFile(folder.path() / "kunci", "a\nb\nc\n");
    KeyArguments fromFile;
    fromFile.keysFile = portable::Utf8Of(folder.path() / "kunci.");
    try {
        ReadKeyTexts(fromFile);
        ADD_FAILURE() << "kunci. was read as kunci";
    } catch (const CryptIoError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Berkas kunci " + *fromFile.keysFile + " tidak dapat dibuka: nama tidak sah di sistem berkas ini");
    }
}

// Under a console (test-windows.sh runs these once more in a pseudo
// terminal, where Wine makes one): the answer typed comes back as UTF-8,
// and the console's mode, echo included, is as it was.
TEST(PlatformSeams, ThePromptReadsTheConsoleWithoutEcho)
{
    const HANDLE input = ::CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD before = 0;
    if (input == INVALID_HANDLE_VALUE || !::GetConsoleMode(input, &before))
        GTEST_SKIP() << "no console";
    std::vector<INPUT_RECORD> typed;
    for (const wchar_t c : std::wstring(L"caf\u00E9 \u20AC\r")) {
        INPUT_RECORD record{};
        record.EventType = KEY_EVENT;
        record.Event.KeyEvent.bKeyDown = TRUE;
        record.Event.KeyEvent.wRepeatCount = 1;
        record.Event.KeyEvent.wVirtualKeyCode = c == L'\r' ? VK_RETURN : 0;
        record.Event.KeyEvent.uChar.UnicodeChar = c;
        typed.push_back(record);
        record.Event.KeyEvent.bKeyDown = FALSE;
        typed.push_back(record);
    }
    DWORD written = 0;
    ASSERT_TRUE(::WriteConsoleInputW(input, typed.data(), static_cast<DWORD>(typed.size()), &written));
    EXPECT_EQ(PromptSecret("Kunci Pertama: "), std::optional<std::string>("caf\xC3\xA9 \xE2\x82\xAC"));
    DWORD after = 0;
    ASSERT_TRUE(::GetConsoleMode(input, &after));
    EXPECT_EQ(after, before);
    ::CloseHandle(input);
}
#endif

TEST(PlatformSeams, AStopRequestReachesTheHandlerOnAThreadOfItsOwn)
{
    struct Seen {
        std::mutex mutex;
        std::condition_variable changed;
        int number = 0;
        std::thread::id thread;
    } seen;
    ASSERT_TRUE(platform::WatchStopSignals(
        [](int number, void* context) {
            auto* seen = static_cast<Seen*>(context);
            const std::lock_guard lock(seen->mutex);
            seen->number = number;
            seen->thread = std::this_thread::get_id();
            seen->changed.notify_all();
        },
        &seen));
#ifdef _WIN32
    // Ctrl-C goes to every program of the console; without one there is
    // nothing to send it through.
    if (!::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) {
        platform::StopWatchingStopSignals();
        GTEST_SKIP() << "no console to send Ctrl-C in";
    }
#else
    std::raise(SIGINT);
#endif
    {
        std::unique_lock lock(seen.mutex);
        EXPECT_TRUE(seen.changed.wait_for(lock, std::chrono::seconds(10), [&] { return seen.number != 0; }));
    }
    platform::StopWatchingStopSignals();
    EXPECT_EQ(seen.number, SIGINT);
    EXPECT_NE(seen.thread, std::this_thread::get_id());
}

TEST(PlatformSeams, ArgumentsAreQuotedForTheWindowsParser)
{
    EXPECT_EQ(platform::QuoteWindowsArgument("biasa"), "biasa");
    EXPECT_EQ(platform::QuoteWindowsArgument(""), "\"\"");
    EXPECT_EQ(platform::QuoteWindowsArgument("dua kata"), "\"dua kata\"");
    EXPECT_EQ(platform::QuoteWindowsArgument("C:\\folder\\"), "C:\\folder\\");
    EXPECT_EQ(platform::QuoteWindowsArgument("C:\\a b\\"), "\"C:\\a b\\\\\"");
    EXPECT_EQ(platform::QuoteWindowsArgument("a\"b"), "\"a\\\"b\"");
    EXPECT_EQ(platform::QuoteWindowsArgument("a\\\"b"), "\"a\\\\\\\"b\"");
    EXPECT_EQ(platform::WindowsCommandLine({"prog", "x y", "z"}), "prog \"x y\" z");
#ifdef _WIN32
    // Windows' own parser gives every argument back.
    const std::vector<std::string> arguments{"C:\\karsidan\\karsidan-cli-net.exe",
                                             "send",
                                             "",
                                             "dua kata",
                                             "a\"b",
                                             "a\\\"b",
                                             "akhir\\",
                                             "akhir spasi\\\\",
                                             "\\\\server\\x",
                                             "caf\xC3\xA9 \xE2\x82\xAC",
                                             "\t",
                                             "\"\"",
                                             "a\\\\\\\"b c"};
    const std::wstring line = portable::Wide(platform::WindowsCommandLine(arguments));
    int count = 0;
    LPWSTR* parsed = ::CommandLineToArgvW(line.c_str(), &count);
    ASSERT_NE(parsed, nullptr);
    ASSERT_EQ(count, static_cast<int>(arguments.size()));
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(std::wstring(parsed[i]), portable::Wide(arguments[static_cast<std::size_t>(i)])) << i;
    ::LocalFree(parsed);
#endif
}
