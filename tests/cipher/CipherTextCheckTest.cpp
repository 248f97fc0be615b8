// The check run before decrypting: only hex digits and white space, in
// whole blocks of 16 digits.
#include "cipher/hex/CipherTextCheck.h"
#include "cipher/engine/TripleDesEngine.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace karsidan;

namespace {

std::string ErrorOf(std::string_view text)
{
    try {
        CheckCipherText(text);
    } catch (const std::invalid_argument& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST(CipherTextCheck, AcceptsEitherCaseAndWhiteSpace)
{
    EXPECT_EQ(CheckCipherText("0123456789abcdef"), "0123456789ABCDEF");
    EXPECT_EQ(CheckCipherText(" 01234567\r\n89ABcdef\t\n"), "0123456789ABCDEF");
    EXPECT_EQ(CheckCipherText(""), "");
    EXPECT_EQ(CheckCipherText(" \n"), "");
    EXPECT_EQ(CheckCipherText(std::string(32, 'f')), std::string(32, 'F'));
}

TEST(CipherTextCheck, NamesTheFirstForeignCharacterAndItsPosition)
{
    EXPECT_EQ(ErrorOf("0123x56789ABCDEF"),
              "Teks sandi hanya boleh berisi angka heksadesimal dan spasi; karakter \"x\" pada posisi 5 tidak sah");
    EXPECT_EQ(ErrorOf("G"),
              "Teks sandi hanya boleh berisi angka heksadesimal dan spasi; karakter \"G\" pada posisi 1 tidak sah");
    // Code-page bytes are shown as the characters they stand for.
    EXPECT_NE(ErrorOf("00\x80").find("\"\xE2\x82\xAC\" pada posisi 3"), std::string::npos) << ErrorOf("00\x80");
    EXPECT_NE(ErrorOf(std::string("0\0", 2)).find("0x00 pada posisi 2"), std::string::npos);
}

TEST(CipherTextCheck, CountsDigitsInWholeBlocks)
{
    EXPECT_EQ(ErrorOf("0123456789ABCDEF0"), "Jumlah angka heksadesimal (17) bukan kelipatan 16");
    EXPECT_EQ(ErrorOf("01 23"), "Jumlah angka heksadesimal (4) bukan kelipatan 16");
}

TEST(CipherTextCheck, LowerCaseCipherTextDecryptsAfterTheCheck)
{
    TripleDesEngine engine;
    const auto keys = TripleDesKeys::FromCodePage("a", "b", "c");
    const std::string cipher = engine.TripleDesEncrypt("Halo, dunia!", keys);
    std::string lower;
    for (std::size_t i = 0; i < cipher.size(); ++i) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(cipher[i])));
        if (i % 16 == 15)
            lower += "\n";
    }
    EXPECT_EQ(engine.TripleDesDecrypt(CheckCipherText(lower), keys), "Halo, dunia!");
}
