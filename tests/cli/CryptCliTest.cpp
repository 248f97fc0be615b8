// karsidan-cli encrypt|decrypt run as a process, checked against the
// openssl command-line tool as an independent Triple DES.
#include "tests/support/ProcessRunner.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

using karsidan::test::WithoutKeys;
using Outcome = karsidan::test::ProcessResult;

Outcome Exec(const QString& program, const QStringList& args, const QByteArray& input,
             const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(), const QString& stdoutFile = {})
{
    // No controlling terminal: a missing key is an error, not a question.
    Outcome r = karsidan::test::RunProcess({.program = program,
                                            .args = args,
                                            .input = input,
                                            .environment = env,
                                            .childSetup = karsidan::test::LeaveTerminal,
                                            .stdoutFile = stdoutFile});
    EXPECT_EQ(r.status, QProcess::NormalExit);
    return r;
}

QStringList Keys(const char* k1, const char* k2, const char* k3)
{
    return {"-1", QString::fromUtf8(k1), "-2", QString::fromUtf8(k2), "-3", QString::fromUtf8(k3)};
}

Outcome Cli(const QStringList& args, const QByteArray& input = {},
            const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    return Exec(QStringLiteral(KARSIDAN_CLI), args, input, env);
}

// The effective DES key of a code-page key: first 8 bytes, 0xB7 padded.
QByteArray EffectiveKey(QByteArray key)
{
    key = key.left(8);
    while (key.size() < 8)
        key.append('\xB7');
    return key;
}

// Triple DES by openssl over the trimmed, 0xB7-padded bytes.
QByteArray OpenSslCipher(QByteArray text, const QByteArray& k1, const QByteArray& k2, const QByteArray& k3)
{
    while (text.startsWith(' '))
        text.remove(0, 1);
    while (text.endsWith(' '))
        text.chop(1);
    while (text.size() % 8 != 0)
        text.append('\xB7');
    const QByteArray key = (EffectiveKey(k1) + EffectiveKey(k2) + EffectiveKey(k3)).toHex();
    const Outcome r = Exec("openssl", {"enc", "-des-ede3", "-nopad", "-K", QString::fromLatin1(key)}, text);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return r.out.toHex().toUpper();
}

} // namespace

TEST(CryptCli, EncryptsLikeOpenSslAtEveryLengthAndDecryptsBack)
{
    ASSERT_FALSE(QStandardPaths::findExecutable("openssl").isEmpty()) << "install the openssl package";
    std::mt19937 rng(8);
    for (int length = 0; length <= 33; ++length) {
        QByteArray text;
        for (int i = 0; i < length; ++i)
            text.append(static_cast<char>('!' + rng() % 90));
        const Outcome enc = Cli(QStringList{"encrypt"} + Keys("satu", "dua", "tiga"), text);
        ASSERT_EQ(enc.exitCode, 0) << enc.err.toStdString();
        ASSERT_EQ(enc.out, OpenSslCipher(text, "satu", "dua", "tiga") + "\n") << "length " << length;
        const Outcome dec = Cli(QStringList{"decrypt"} + Keys("satu", "dua", "tiga"), enc.out);
        ASSERT_EQ(dec.exitCode, 0) << dec.err.toStdString();
        EXPECT_EQ(dec.out, text) << "length " << length;
    }
}

TEST(CryptCli, LongTextAndFullLengthKeysMatchOpenSsl)
{
    QByteArray text(100000, 'x');
    std::mt19937 rng(9);
    for (auto& c : text)
        c = static_cast<char>(rng() & 0xFF);
    text.front() = 'a';
    text.back() = 'z';
    const QStringList args = QStringList{"--raw"} + Keys("12345678", " spasi ", "x");
    const Outcome enc = Cli(QStringList{"encrypt"} + args, text);
    ASSERT_EQ(enc.exitCode, 0) << enc.err.toStdString();
    EXPECT_EQ(enc.out, OpenSslCipher(text, "12345678", "spasi", "x") + "\n");
    const Outcome dec = Cli(QStringList{"decrypt"} + args, enc.out);
    ASSERT_EQ(dec.exitCode, 0);
    EXPECT_TRUE(dec.out == text);
}

TEST(CryptCli, Utf8IsConvertedToTheCodePageAndBack)
{
    const QByteArray text = "caf\xC3\xA9 \xE2\x82\xAC"
                            "5 \xC2\xB7 ok\n"; // café €5 · ok
    const Outcome enc = Cli(QStringList{"encrypt"} + Keys("k\xC3\xA9y", "b", "c"), text);
    ASSERT_EQ(enc.exitCode, 0) << enc.err.toStdString();
    // The line break goes in as CR LF, as the window hands it to the engine.
    EXPECT_EQ(enc.out,
              OpenSslCipher("caf\xE9 \x80"
                            "5 \xB7 ok\r\n",
                            "k\xE9y", "b", "c")
                  + "\n");
    const Outcome dec = Cli(QStringList{"decrypt"} + Keys("k\xC3\xA9y", "b", "c"), enc.out);
    EXPECT_EQ(dec.out, text);

    const Outcome rawDec = Cli(QStringList{"decrypt", "--raw"} + Keys("k\xC3\xA9y", "b", "c"), enc.out);
    EXPECT_EQ(rawDec.out,
              QByteArray("caf\xE9 \x80"
                         "5 \xB7 ok\r\n"));
}

TEST(CryptCli, RawPassesBytesThatAreNotUtf8)
{
    const QByteArray bytes("\xFF\x80\x00\x81zz", 6);
    const Outcome refused = Cli(QStringList{"encrypt"} + Keys("a", "b", "c"), bytes);
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_TRUE(refused.err.contains("UTF-8")) << refused.err.toStdString();
    const Outcome enc = Cli(QStringList{"encrypt", "--raw"} + Keys("a", "b", "c"), bytes);
    ASSERT_EQ(enc.exitCode, 0);
    EXPECT_EQ(enc.out, OpenSslCipher(bytes, "a", "b", "c") + "\n");
    EXPECT_EQ(Cli(QStringList{"decrypt", "--raw"} + Keys("a", "b", "c"), enc.out).out, bytes);
}

TEST(CryptCli, KeysFromEnvironmentAndLongForms)
{
    auto env = WithoutKeys();
    env.insert("KARSIDAN_KEY1", "satu");
    env.insert("KARSIDAN_KEY2", "dua");
    env.insert("KARSIDAN_KEY3", "tiga");
    const QByteArray expected = Cli(QStringList{"encrypt"} + Keys("satu", "dua", "tiga"), "teks").out;
    EXPECT_EQ(Cli(QStringList{"encrypt"}, "teks", env).out, expected);
    EXPECT_EQ(Cli(QStringList{"encrypt", "--key1", "satu", "--key2=dua", "--key3", "tiga"}, "teks", WithoutKeys()).out,
              expected);
    // An option wins over the environment.
    env.insert("KARSIDAN_KEY2", "lain");
    EXPECT_EQ(Cli(QStringList{"encrypt", "-2", "dua"}, "teks", env).out, expected);
    EXPECT_EQ(Cli(QStringList{"decrypt"}, expected, WithoutKeys()).exitCode, 2);
}

TEST(CryptCli, BadKeysAndCipherTextsExitWithTwo)
{
    struct Case {
        QStringList args;
        QByteArray input;
        const char* message;
    };
    const Case cases[] = {
        {QStringList{"encrypt"} + Keys("a", "", "c"), "x", "Kunci 2 kosong"},
        {QStringList{"encrypt"} + Keys("  ", "b", "c"), "x", "Kunci 1 kosong"},
        {QStringList{"encrypt", "-1", "a", "-2", "b"}, "x", "Kunci 3 kosong"},
        {QStringList{"encrypt"} + Keys("a", "b", "123456789"), "x", "Kunci 3 lebih dari 8 karakter"},
        {QStringList{"encrypt"} + Keys("a", "\xD0\xBA", "c"), "x", "U+043A"},
        {QStringList{"encrypt"} + Keys("a", "b", "c"), "\xE2\x98\x83", "U+2603"},
        {QStringList{"decrypt"} + Keys("a", "b", "c"), "0123456789ABCDEFx", "karakter \"x\" pada posisi 17"},
        {QStringList{"decrypt"} + Keys("a", "b", "c"), "0123456789ABCDEF0", "(17) bukan kelipatan 16"},
        {QStringList{"decrypt"} + Keys("a", "b", "c"), "halo", "karakter \"h\" pada posisi 1"},
        {QStringList{"encrypt", "--entah"} + Keys("a", "b", "c"), "x", "opsi tidak dikenal: entah"},
        {QStringList{"encrypt", "-1"}, "x", "opsi tanpa nilai: -1"},
        {QStringList{"encrypt", "f1", "f2"} + Keys("a", "b", "c"), "x", "satu berkas"},
    };
    for (const auto& c : cases) {
        const Outcome r = Cli(c.args, c.input, WithoutKeys());
        EXPECT_EQ(r.exitCode, 2) << c.message;
        EXPECT_TRUE(r.out.isEmpty()) << c.message;
        EXPECT_TRUE(r.err.contains(c.message)) << c.message << " / " << r.err.toStdString();
    }
}

TEST(CryptCli, LowerCaseAndBrokenCipherTextsDecrypt)
{
    const Outcome enc = Cli(QStringList{"encrypt"} + Keys("a", "b", "c"), "sebuah teks rahasia");
    QByteArray messy = enc.out.toLower();
    messy.insert(16, "\r\n  ");
    const Outcome dec = Cli(QStringList{"decrypt"} + Keys("a", "b", "c"), "  " + messy);
    EXPECT_EQ(dec.exitCode, 0) << dec.err.toStdString();
    EXPECT_EQ(dec.out, "sebuah teks rahasia");
    const Outcome empty = Cli(QStringList{"decrypt"} + Keys("a", "b", "c"), "\n");
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_TRUE(empty.out.isEmpty());
}

TEST(CryptCli, FilesAndInputOutputFailures)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("masukan.txt");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("dari berkas");
    f.close();
    const Outcome fromFile = Cli(QStringList{"encrypt", path} + Keys("a", "b", "c"));
    const Outcome fromStdin = Cli(QStringList{"encrypt"} + Keys("a", "b", "c"), "dari berkas");
    EXPECT_EQ(fromFile.exitCode, 0);
    EXPECT_EQ(fromFile.out, fromStdin.out);

    const Outcome missing = Cli(QStringList{"encrypt", dir.filePath("tidak-ada")} + Keys("a", "b", "c"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("tidak-ada")) << missing.err.toStdString();

    const Outcome folder = Cli(QStringList{"decrypt", dir.path()} + Keys("a", "b", "c"));
    EXPECT_EQ(folder.exitCode, 1) << folder.err.toStdString();

    if (QFile::exists("/dev/full")) {
        const Outcome full = Exec(QStringLiteral(KARSIDAN_CLI), QStringList{"encrypt"} + Keys("a", "b", "c"), "teks",
                                  QProcessEnvironment::systemEnvironment(), "/dev/full");
        EXPECT_EQ(full.exitCode, 1);
        EXPECT_TRUE(full.err.contains("Gagal menulis")) << full.err.toStdString();
    }
}

TEST(CryptCli, HelpAndVersion)
{
    for (const char* command : {"encrypt", "decrypt"}) {
        const Outcome help = Cli(QStringList{command, "--help"});
        EXPECT_EQ(help.exitCode, 0);
        for (const char* needle : {"--key1", "KARSIDAN_KEY3", "--raw", "Kode keluar", "Windows-1252"})
            EXPECT_TRUE(help.out.contains(needle)) << command << " " << needle;
    }
    const Outcome version = Cli(QStringList{"encrypt", "--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("karsidan-cli ")) << version.out.toStdString();
}
