// karsidan-cli as its users expect it: -o through the atomic writer, keys
// asked on the terminal or read from a file, warnings for weak keys and for
// a result that is no text, text mode against --raw with line breaks and
// broken UTF-8 at the edges of the pieces it reads, and every help text in
// one language.
#include "cipher/engine/TripleDesEngine.h"
#include "tests/support/ProcessRunner.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using karsidan::test::ReadFile;
using karsidan::test::WriteFile;

using karsidan::test::WithoutKeys;
using Outcome = karsidan::test::ProcessResult;

Outcome Cli(const QStringList& args, const QByteArray& input = {}, const QProcessEnvironment& env = WithoutKeys())
{
    // No terminal to ask on.
    return karsidan::test::RunProcess({.program = QStringLiteral(KARSIDAN_CLI),
                                       .args = args,
                                       .input = input,
                                       .environment = env,
                                       .childSetup = karsidan::test::LeaveTerminal});
}

const QStringList kKeys = {"-1", "satu", "-2", "dua", "-3", "tiga"};

QByteArray Engine(const QByteArray& codePageText)
{
    const std::string c = karsidan::TripleDesEngine().TripleDesEncrypt(
        std::string_view(codePageText.constData(), static_cast<std::size_t>(codePageText.size())),
        karsidan::TripleDesKeys::FromCodePage("satu", "dua", "tiga"));
    return QByteArray(c.data(), static_cast<qsizetype>(c.size())) + "\n";
}

// Everything in a folder but the files named.
QStringList Leftovers(const QTemporaryDir& dir, const QStringList& expected)
{
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : expected)
        left.removeAll(name);
    return left;
}

} // namespace

TEST(CliOutput, OutputFileIsWrittenWholeOrNotAtAll)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString text = WriteFile(dir, "teks.txt", "baris satu\nbaris dua\n");
    const QString out = dir.filePath("sandi.txt");
    const Outcome toStdout = Cli(QStringList{"encrypt", text} + kKeys);
    ASSERT_EQ(toStdout.exitCode, 0) << toStdout.err.toStdString();
    const Outcome toFile = Cli(QStringList{"encrypt", "-o", out, text} + kKeys);
    ASSERT_EQ(toFile.exitCode, 0) << toFile.err.toStdString();
    EXPECT_TRUE(toFile.out.isEmpty());
    EXPECT_EQ(ReadFile(out), toStdout.out);
    EXPECT_EQ(Cli(QStringList{"encrypt", "--output=-", text} + kKeys).out, toStdout.out) << "\"-\" is standard output";
    const Outcome back = Cli(QStringList{"decrypt", "--output", dir.filePath("balik.txt"), out} + kKeys);
    ASSERT_EQ(back.exitCode, 0) << back.err.toStdString();
    EXPECT_EQ(ReadFile(dir.filePath("balik.txt")), "baris satu\nbaris dua\n");

    // Refused inputs: broken UTF-8 at the end of a long text, a text that is
    // no cipher text. No new file, the old one as it was, no temporary left.
    const QString broken = WriteFile(dir, "rusak.txt", QByteArray(600000, 'a') + "\xC3");
    const QString old = WriteFile(dir, "lama.txt", "isi lama");
    const QStringList refused[] = {
        QStringList{"encrypt", "-o", dir.filePath("baru.txt"), broken},
        QStringList{"encrypt", "-o", old, broken},
        QStringList{"decrypt", "-o", dir.filePath("baru.txt"), text},
        QStringList{"decrypt", "-o", old, text},
    };
    for (const QStringList& args : refused) {
        const Outcome r = Cli(args + kKeys);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_FALSE(QFile::exists(dir.filePath("baru.txt"))) << args.join(' ').toStdString();
        EXPECT_EQ(ReadFile(old), "isi lama") << args.join(' ').toStdString();
        EXPECT_EQ(Leftovers(dir, {"teks.txt", "sandi.txt", "balik.txt", "rusak.txt", "lama.txt"}), QStringList{});
    }
    // A file of several chunks read once for -o: a fault late in it, or a
    // character the code page lacks, is named as on standard output, after
    // which nothing remains; a good one gives what standard output gets.
    const QByteArray many = QByteArray(5 << 20, 'a') + "\r\ncaf\xC3\xA9\n";
    for (const QByteArray& tail : {QByteArray("\xC3"), QByteArray("z\xE2\x98\x83z"), QByteArray()}) {
        const QString path = WriteFile(dir, "besar.txt", many + tail);
        const Outcome shown = Cli(QStringList{"encrypt", path} + kKeys);
        const Outcome saved = Cli(QStringList{"encrypt", "-o", dir.filePath("baru.txt"), path} + kKeys);
        EXPECT_EQ(saved.exitCode, shown.exitCode) << tail.toHex().toStdString();
        EXPECT_EQ(saved.err, shown.err);
        EXPECT_TRUE(saved.out.isEmpty());
        if (tail.isEmpty()) {
            ASSERT_EQ(shown.exitCode, 0) << shown.err.toStdString();
            EXPECT_TRUE(ReadFile(dir.filePath("baru.txt")) == shown.out);
            QFile::remove(dir.filePath("baru.txt"));
        } else {
            EXPECT_EQ(shown.exitCode, 2);
            EXPECT_TRUE(shown.out.isEmpty());
            EXPECT_FALSE(QFile::exists(dir.filePath("baru.txt")));
        }
        QFile::remove(path);
        EXPECT_EQ(Leftovers(dir, {"teks.txt", "sandi.txt", "balik.txt", "rusak.txt", "lama.txt"}), QStringList{});
    }
    // From a pipe too.
    const Outcome piped = Cli(QStringList{"encrypt", "-o", dir.filePath("baru.txt")} + kKeys, "ok \xFF");
    EXPECT_EQ(piped.exitCode, 2);
    EXPECT_FALSE(QFile::exists(dir.filePath("baru.txt")));

    // A folder that is not there: a failure of output, told in Indonesian.
    const Outcome nowhere = Cli(QStringList{"encrypt", "-o", dir.filePath("tidak/ada.txt"), text} + kKeys);
    EXPECT_EQ(nowhere.exitCode, 1);
    EXPECT_TRUE(nowhere.err.contains("Tidak dapat menulis")) << nowhere.err.toStdString();
    EXPECT_TRUE(nowhere.err.contains("folder tidak ada")) << nowhere.err.toStdString();
    const Outcome missing = Cli(QStringList{"encrypt", "-o", out, dir.filePath("hilang.txt")} + kKeys);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("berkas tidak ada")) << missing.err.toStdString();
    EXPECT_EQ(ReadFile(out), toStdout.out);
}

namespace {

struct Conversation {
    QByteArray screen; // all the terminal showed
    int exitCode = -1;
    bool echoAfter = false;
};

// Runs the command line on a new pseudo-terminal and answers each prompt
// with the next answer.
Conversation OnTerminal(const QStringList& args, const std::vector<std::pair<QByteArray, QByteArray>>& answers)
{
    std::vector<std::string> argStrings{KARSIDAN_CLI};
    for (const QString& a : args)
        argStrings.push_back(a.toStdString());
    std::vector<char*> argv;
    for (auto& s : argStrings)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    Conversation c;
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid == 0) {
        for (const char* name : {"KARSIDAN_KEY1", "KARSIDAN_KEY2", "KARSIDAN_KEY3"})
            ::unsetenv(name);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    EXPECT_GT(pid, 0);
    if (pid <= 0)
        return c;
    std::size_t next = 0;
    for (;;) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, 20000) <= 0) {
            ADD_FAILURE() << "no answer from the terminal: " << c.screen.toStdString();
            ::kill(pid, SIGKILL);
            break;
        }
        char buffer[512];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            break; // EIO once the child is gone
        c.screen.append(buffer, n);
        if (next < answers.size() && c.screen.endsWith(answers[next].first)) {
            // Echo off by now: the answer must not show.
            termios t{};
            ::tcgetattr(master, &t);
            EXPECT_FALSE(t.c_lflag & ECHO) << "echo while asking " << answers[next].first.toStdString();
            const QByteArray& answer = answers[next++].second;
            EXPECT_EQ(::write(master, answer.constData(), static_cast<std::size_t>(answer.size())), answer.size());
        }
    }
    termios after{};
    ::tcgetattr(master, &after);
    c.echoAfter = after.c_lflag & ECHO;
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(master);
    c.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return c;
}

} // namespace

TEST(CliKeys, MissingKeysAreAskedOnTheTerminalWithoutEcho)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString text = WriteFile(dir, "teks.txt", "rahasia\n");
    const QString out = dir.filePath("sandi.txt");
    const Conversation c = OnTerminal({"encrypt", "-1", "satu", "-o", out, text},
                                      {{"Kunci Kedua: ", "dua\n"}, {"Kunci Ketiga: ", "tiga\r\n"}});
    EXPECT_EQ(c.exitCode, 0) << c.screen.toStdString();
    EXPECT_FALSE(c.screen.contains("Kunci Pertama")) << "the first key was given";
    for (const char* echoed : {": dua", "dua\r\n", ": tiga", "tiga\r\n"})
        EXPECT_FALSE(c.screen.contains(echoed)) << c.screen.toStdString();
    EXPECT_TRUE(c.echoAfter) << "the echo comes back";
    EXPECT_EQ(ReadFile(out), Engine("rahasia\r\n"));

    // All three, for decrypt; an empty answer is a blank key.
    const Conversation all = OnTerminal(
        {"decrypt", out}, {{"Kunci Pertama: ", "satu\n"}, {"Kunci Kedua: ", "dua\n"}, {"Kunci Ketiga: ", "tiga\n"}});
    EXPECT_EQ(all.exitCode, 0);
    EXPECT_TRUE(all.screen.endsWith("rahasia\r\n")) << all.screen.toStdString(); // the terminal shows LF as CR LF
    const Conversation blank = OnTerminal(
        {"encrypt", text}, {{"Kunci Pertama: ", "\n"}, {"Kunci Kedua: ", "b\n"}, {"Kunci Ketiga: ", "c\n"}});
    EXPECT_EQ(blank.exitCode, 2);
    EXPECT_TRUE(blank.screen.contains("Kunci 1 kosong")) << blank.screen.toStdString();

    // Without a terminal: an error naming the ways to give the key.
    const Outcome none = Cli({"encrypt", "-1", "a", "-2", "b", text});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_TRUE(none.err.contains("Kunci 3 kosong")) << none.err.toStdString();
    EXPECT_TRUE(none.err.contains("KARSIDAN_KEY3")) << none.err.toStdString();
}

TEST(CliKeys, KeysFileOneKeyPerLine)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray expected = Cli(QStringList{"encrypt"} + kKeys, "teks").out;
    for (const QByteArray& content :
         {QByteArray("satu\ndua\ntiga\n"), QByteArray("satu\r\ndua\r\ntiga"), QByteArray(" satu\ndua \ntiga\n")}) {
        const QString keys = WriteFile(dir, "kunci.txt", content);
        const Outcome r = Cli({"encrypt", "--keys-file", keys}, "teks");
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, expected) << content.toStdString();
    }
    // An option wins over the file, box by box.
    WriteFile(dir, "kunci.txt", "satu\nlain\ntiga\n");
    EXPECT_EQ(Cli({"encrypt", "--keys-file", dir.filePath("kunci.txt"), "-2", "dua"}, "teks").out, expected);

    struct Case {
        QByteArray content;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {"satu\ndua\n", 2, "memuat 2 baris"},
        {"satu\ndua\ntiga\nempat\n", 2, "lebih dari tiga baris"},
        {"satu\n\ntiga\n", 2, "Kunci 2 kosong"},
        {"satu\ndua\nsembilan9\n", 2, "Kunci 3 lebih dari 8 karakter"},
    };
    for (const auto& c : cases) {
        const Outcome r = Cli({"encrypt", "--keys-file", WriteFile(dir, "kunci.txt", c.content)}, "teks");
        EXPECT_EQ(r.exitCode, c.exitCode) << c.message;
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains(c.message)) << c.message << " / " << r.err.toStdString();
    }
    const Outcome missing = Cli({"encrypt", "--keys-file", dir.filePath("tidak-ada")}, "teks");
    EXPECT_EQ(missing.exitCode, 1) << "a read failure";
    EXPECT_TRUE(missing.err.contains("berkas tidak ada")) << missing.err.toStdString();
}

TEST(CliWarnings, WeakKeysAndResultsThatAreNoText)
{
    struct Case {
        QStringList keys;
        const char* warning; // nullptr: none
    };
    const Case cases[] = {
        {{"satu", "dua", "tiga"}, nullptr},
        {{"satu", "satu", "tiga"}, "kunci pertama dan kedua sama"},
        {{"satu", "tiga", " tiga  "}, "kunci kedua dan ketiga sama"}, // after trimming
        {{"kunci", "kunci\xC2\xB7", "lain"}, "kunci pertama dan kedua sama"}, // the padding character
        {{"sama", "dua", "sama"}, "kunci pertama dan ketiga sama; Triple DES dua kunci"},
        {{"ab", "ac", "xy"}, "DES mengabaikan bit terendah"}, // 'b' and 'c' differ in the parity bit only
        {{"x", "x", "x"}, "DES tunggal"},
    };
    for (const auto& c : cases) {
        const QStringList args = {"-1", c.keys[0], "-2", c.keys[1], "-3", c.keys[2]};
        const Outcome enc = Cli(QStringList{"encrypt"} + args, "teks biasa");
        EXPECT_EQ(enc.exitCode, 0) << enc.err.toStdString();
        EXPECT_EQ(enc.out.size(), 33); // two blocks and a newline
        if (c.warning) {
            EXPECT_TRUE(enc.err.contains(c.warning)) << c.keys.join('|').toStdString() << ": " << enc.err.toStdString();
            EXPECT_TRUE(enc.err.startsWith("encrypt: peringatan: "));
        } else {
            EXPECT_TRUE(enc.err.isEmpty()) << enc.err.toStdString();
        }
        const Outcome dec = Cli(QStringList{"decrypt"} + args, enc.out);
        EXPECT_EQ(dec.out, "teks biasa");
        EXPECT_EQ(dec.err.contains("peringatan: kunci"), c.warning != nullptr);
        EXPECT_FALSE(dec.err.contains("kunci salah?"));
    }

    // A wrong key gives bytes that are no text: a warning, exit code 0.
    const QByteArray cipher = Cli(QStringList{"encrypt"} + kKeys, "Sebuah pesan yang cukup panjang untuk diuji.").out;
    const Outcome wrong = Cli({"decrypt", "-1", "satu", "-2", "dua", "-3", "salah"}, cipher);
    EXPECT_EQ(wrong.exitCode, 0);
    EXPECT_TRUE(wrong.err.contains("kunci salah?")) << wrong.err.toStdString();
    const Outcome right = Cli(QStringList{"decrypt"} + kKeys, cipher);
    EXPECT_TRUE(right.err.isEmpty()) << right.err.toStdString();
    // Tabs and line breaks are text; --raw output is bytes and is not judged.
    const QByteArray tabbed = Cli(QStringList{"encrypt"} + kKeys, "a\tb\nc\r\nd").out;
    EXPECT_TRUE(Cli(QStringList{"decrypt"} + kKeys, tabbed).err.isEmpty());
    const QByteArray control = Cli(QStringList{"encrypt", "--raw"} + kKeys, QByteArray("a\x01z", 3)).out;
    EXPECT_TRUE(Cli(QStringList{"decrypt"} + kKeys, control).err.contains("kunci salah?"));
    EXPECT_TRUE(Cli(QStringList{"decrypt", "--raw"} + kKeys, control).err.isEmpty());
}

TEST(CliText, TextModeAgainstRawWithAndWithoutCrLf)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        QByteArray utf8; // the file
        QByteArray window; // the code-page bytes the window would encrypt
        QByteArray back; // what decrypt prints
    };
    const QByteArray longLine(700000, 'x');
    const Case cases[] = {
        {"satu baris", "satu baris", "satu baris"},
        {"dua\nbaris\n", "dua\r\nbaris\r\n", "dua\nbaris\n"},
        {"dua\r\nbaris\r\n", "dua\r\nbaris\r\n", "dua\nbaris\n"},
        {"lama\rmac\n\n", "lama\r\nmac\r\n\r\n", "lama\nmac\n\n"},
        {"\xEF\xBB\xBF"
         "caf\xC3\xA9\n\xE2\x82\xAC",
         "caf\xE9\r\n\x80", "caf\xC3\xA9\n\xE2\x82\xAC"},
        {longLine + "\n" + longLine, longLine + "\r\n" + longLine, longLine + "\n" + longLine},
    };
    for (const auto& c : cases) {
        const QString path = WriteFile(dir, "teks.txt", c.utf8);
        const QByteArray expected = Engine(c.window);
        const Outcome fromFile = Cli(QStringList{"encrypt", path} + kKeys);
        const Outcome fromPipe = Cli(QStringList{"encrypt"} + kKeys, c.utf8);
        const Outcome raw = Cli(QStringList{"encrypt", "--raw"} + kKeys, c.window);
        EXPECT_EQ(fromFile.out, expected) << c.utf8.left(40).toStdString();
        EXPECT_EQ(fromPipe.out, expected) << c.utf8.left(40).toStdString();
        EXPECT_EQ(raw.out, expected);
        EXPECT_TRUE(Cli(QStringList{"decrypt"} + kKeys, expected).out == c.back) << c.utf8.left(40).toStdString();
        EXPECT_TRUE(Cli(QStringList{"decrypt", "--raw"} + kKeys, expected).out == c.window);
    }
    // --raw keeps LF and CR LF apart.
    EXPECT_NE(Cli(QStringList{"encrypt", "--raw"} + kKeys, "a\nb").out,
              Cli(QStringList{"encrypt", "--raw"} + kKeys, "a\r\nb").out);
}

TEST(CliText, BrokenUtf8AtTheEdgesOfThePieces)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    constexpr int kPiece = 256 << 10; // what the command reads at a time
    // A character cut by a piece's end is whole in the next; a broken one is
    // refused wherever it stands, before anything is written.
    for (const int offset : {-3, -2, -1, 0, 1, 2 * kPiece - 1}) {
        QByteArray good(kPiece + offset, 'a');
        good += "\xE2\x82\xAC\xC3\xA9\xF0\x9F\x98\x80"; // the last is no Windows-1252 character
        good += "akhir";
        const QString path = WriteFile(dir, "teks.txt", good);
        const Outcome refusedMap = Cli(QStringList{"encrypt", path} + kKeys);
        EXPECT_EQ(refusedMap.exitCode, 2) << offset;
        EXPECT_TRUE(refusedMap.out.isEmpty());
        EXPECT_TRUE(refusedMap.err.contains("U+1F600")) << refusedMap.err.toStdString();
        EXPECT_TRUE(refusedMap.err.contains("posisi " + QByteArray::number(kPiece + offset + 3)))
            << offset << " " << refusedMap.err.toStdString();

        QByteArray mapped(kPiece + offset, 'a');
        mapped += "\xE2\x82\xAC\xC3\xA9z";
        QByteArray window(kPiece + offset, 'a');
        window += "\x80\xE9z";
        const Outcome ok = Cli(QStringList{"encrypt", WriteFile(dir, "baik.txt", mapped)} + kKeys);
        EXPECT_EQ(ok.exitCode, 0) << ok.err.toStdString();
        EXPECT_TRUE(ok.out == Engine(window)) << offset;

        for (const QByteArray& broken : {QByteArray("\xE2\x82"), QByteArray("\xC3"), QByteArray("\xED\xA0\x80"),
                                         QByteArray("\xC0\xAF"), QByteArray("\x80")}) {
            QByteArray text(kPiece + offset, 'a');
            text += broken + "z";
            const QByteArray at = "byte ke-" + QByteArray::number(kPiece + offset + 1);
            for (const Outcome& r : {Cli(QStringList{"encrypt", WriteFile(dir, "rusak.txt", text)} + kKeys),
                                     Cli(QStringList{"encrypt"} + kKeys, text)}) {
                EXPECT_EQ(r.exitCode, 2) << offset;
                EXPECT_TRUE(r.out.isEmpty()) << offset;
                EXPECT_TRUE(r.err.contains("UTF-8 tidak sah") && r.err.contains(at))
                    << offset << " " << r.err.toStdString();
            }
        }
    }
}

TEST(CliText, ALargeFileIsCheckedInPiecesWithTheSameVerdicts)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    constexpr int kSeam = 1 << 20; // the pieces a large file is checked in, on all cores at once
    QByteArray base;
    while (base.size() < 9 * kSeam)
        base += "kata caf\xC3\xA9 \xE2\x82\xAC"
                "5 na\xC3\xAFve\n";
    // Puts bytes so that they start at `at`: after the character there
    // begins, padded with ASCII up to it.
    const auto put = [](QByteArray text, int at, const QByteArray& what) {
        int start = at;
        while ((static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
            --start;
        return text.insert(start, QByteArray(at - start, 'x') + what);
    };
    // Good text across the seams: a character of three bytes cut by each
    // of the first, a CR LF by a middle one, a byte-order mark at the start.
    QByteArray good = "\xEF\xBB\xBF" + base;
    for (int at = 1; at < 4; ++at)
        good = put(good, at * kSeam - at, "\xE2\x84\xA2");
    good = put(good, 5 * kSeam - 1, "\r\n");
    const QByteArray expectedGood = Cli(QStringList{"encrypt"} + kKeys, good).out;
    ASSERT_FALSE(expectedGood.isEmpty());
    EXPECT_EQ(Cli(QStringList{"encrypt", WriteFile(dir, "besar.txt", good)} + kKeys).out, expectedGood);
    // Faults at the first, a middle and the last seam, in the first and in
    // the last piece: named as a check in order names them, nothing written.
    // A byte-order mark that starts a piece is none, and continuation bytes
    // where one starts leave it no start.
    std::vector<int> places = {7, static_cast<int>(base.size()) - 3};
    for (const int seam : {kSeam, 5 * kSeam, 8 * kSeam})
        for (int offset = -2; offset <= 1; ++offset)
            places.push_back(seam + offset);
    for (const QByteArray& fault : {QByteArray("\xE2\x98\x83"), QByteArray("\xC3"), QByteArray("\x80"),
                                    QByteArray("\xEF\xBB\xBF"), QByteArray("\x80\x80\x80\x80")}) {
        for (const int place : places) {
            const QByteArray text = put(base, place, fault);
            // Standard input is checked in order: the verdict to match.
            const Outcome inOrder = Cli(QStringList{"encrypt"} + kKeys, text);
            ASSERT_EQ(inOrder.exitCode, 2) << place;
            const Outcome pieces = Cli(QStringList{"encrypt", WriteFile(dir, "rusak.txt", text)} + kKeys);
            EXPECT_EQ(pieces.exitCode, 2) << place;
            EXPECT_TRUE(pieces.out.isEmpty()) << place;
            EXPECT_EQ(pieces.err, inOrder.err) << place << " " << pieces.err.toStdString();
        }
    }
}

TEST(CliLanguage, EveryHelpInOneLanguage)
{
    const QStringList commands[] = {{"--help"},         {"encrypt", "--help"}, {"decrypt", "--help"},
                                    {"send", "--help"}, {"receive", "--help"}, {"send", "-h"}};
    for (const QStringList& args : commands) {
        const Outcome r = Cli(args);
        const std::string name = args.join(' ').toStdString();
        EXPECT_EQ(r.exitCode, 0) << name << r.err.toStdString();
        for (const char* needle : {"Pemakaian:", "Opsi:", "Variabel lingkungan", "Kode keluar", "--help"})
            EXPECT_TRUE(r.out.contains(needle)) << name << " lacks " << needle;
        for (const char* english : {"Usage", "Options:", "Displays", "help-all", "Arguments", "Display ", "[options]"})
            EXPECT_FALSE(r.out.contains(english)) << name << " has " << english;
    }
    // Errors too, with the system's reasons in the same language.
    QTemporaryDir dir;
    const Outcome cases[] = {
        Cli({"send", "--entah"}),
        Cli({"receive", "--port"}),
        Cli({"send", "--to", "127.0.0.1", dir.filePath("tidak-ada")}),
        Cli(QStringList{"encrypt", dir.filePath("tidak-ada")} + kKeys),
        Cli(QStringList{"decrypt", dir.path()} + kKeys),
        Cli({"entah"}),
    };
    for (const Outcome& r : cases) {
        EXPECT_NE(r.exitCode, 0);
        for (const char* english : {"No such", "Unknown", "Missing", "Is a directory", "Usage", "error", "Permission"})
            EXPECT_FALSE(r.err.contains(english)) << r.err.toStdString();
    }
    EXPECT_TRUE(cases[0].err.contains("opsi tidak dikenal: entah")) << cases[0].err.toStdString();
    EXPECT_TRUE(cases[1].err.contains("opsi tanpa nilai")) << cases[1].err.toStdString();
    EXPECT_TRUE(cases[2].err.contains("berkas tidak ada")) << cases[2].err.toStdString();
    EXPECT_TRUE(cases[4].err.contains("folder")) << cases[4].err.toStdString();
}

TEST(CliLanguage, EncryptAndDecryptLoadNoQt)
{
    if (QStandardPaths::findExecutable("ldd").isEmpty())
        GTEST_SKIP() << "no ldd";
    const Outcome ldd = karsidan::test::RunProcess(
        {.program = QStringLiteral("ldd"), .args = {QStringLiteral(KARSIDAN_CLI)}, .timeoutMs = 30000});
    ASSERT_TRUE(ldd.finished);
    const QByteArray libraries = ldd.out;
    EXPECT_TRUE(libraries.contains("libc.so")) << libraries.toStdString();
    EXPECT_FALSE(libraries.contains("libQt")) << libraries.toStdString();
}
