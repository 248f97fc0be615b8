// Runs the cipher on keys and texts that valgrind's memcheck is told are
// undefined. Any branch or memory address that depends on them is then a
// memcheck error, and the test runs memcheck with --error-exitcode: a table
// lookup indexed by key or text bits, or a comparison of them that steers a
// branch, fails it. What the design lets out (a character's class, a
// rule's outcome, the length of a text) is declassified where the cipher
// decides on it (cipher/consttime/ConstantTime.h).
//
// Covered: the key object from UTF-16 (the window, the command-line
// options) and from UTF-8 (the environment), with trimming, the rules, the
// code-page conversion, the effective keys, the key schedule and the masks;
// the engine's encryption (trimming, padding, the kernels, the hex digits
// of the result) and decryption (the kernels, the padding's removal); both
// streams. The cipher text that decryption reads is public and given
// defined; so is the result once it has left the engine.
#include "cipher/bitslice/TripleDesBitslice.h"
#include "cipher/engine/TripleDesEngine.h"
#include "cipher/keys/TripleDesKeys.h"
#include "cipher/stream/TripleDesDecryptStream.h"
#include "cipher/stream/TripleDesEncryptStream.h"

#include <valgrind/memcheck.h>

#include <cstdio>
#include <string>
#include <string_view>

using namespace karsidan;

namespace {

template <typename Char>
std::basic_string<Char> Secret(std::basic_string<Char> s)
{
    (void)VALGRIND_MAKE_MEM_UNDEFINED(s.data(), s.size() * sizeof(Char));
    return s;
}

std::string Public(std::string s)
{
    (void)VALGRIND_MAKE_MEM_DEFINED(s.data(), s.size());
    return s;
}

int failures = 0;

void Expect(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "probe: %s\n", what);
        ++failures;
    }
}

std::uint64_t Public(std::uint64_t v)
{
    (void)VALGRIND_MAKE_MEM_DEFINED(&v, sizeof v);
    return v;
}

// Encrypt and decrypt one text through the engine and the streams; plain
// is the text without its outer spaces.
void RoundTrip(const TripleDesKeys& keys, const std::string& input, const std::string& plain)
{
    const std::string text = Secret(input);
    const std::string cipher = Public(TripleDesEngine().TripleDesEncrypt(text, keys));
    Expect(Public(TripleDesEngine().TripleDesDecrypt(cipher, keys)) == plain, "engine round trip");

    std::string streamed;
    {
        TripleDesEncryptStream stream(keys, [&](std::string_view d) { streamed.append(d); }, {64, 2});
        stream.Write(text);
        stream.Finish();
    }
    Expect(Public(streamed) == cipher, "encrypt stream");
    std::string back;
    {
        TripleDesDecryptStream stream(keys, [&](std::string_view b) { back.append(b); }, {64, 2});
        stream.Write(cipher);
        stream.Finish();
    }
    Expect(Public(back) == plain, "decrypt stream");
}

} // namespace

int main()
{
    // The window's boxes: trimmed, a code-page character outside ASCII,
    // one from the 0x80-0x9F range, padded to eight.
    const TripleDesKeys window = TripleDesKeys::FromUtf16(Secret(std::u16string(u"  kunci\u00e9 ")),
                                                          Secret(std::u16string(u"k\u20ac2")),
                                                          Secret(std::u16string(u"tiga3333")));
    // The command line's UTF-8.
    const TripleDesKeys command = TripleDesKeys::FromUtf8(Secret(std::string("kunci\xc3\xa9")),
                                                          Secret(std::string(" k\xe2\x82\xac"
                                                                             "2 ")),
                                                          Secret(std::string("tiga3333")));
    for (int box = 1; box <= 3; ++box)
        Expect(Public(window.Effective(box)) == Public(command.Effective(box)), "UTF-16 and UTF-8 give the same keys");
    std::fprintf(stderr, "probe: %s kernel\n", bitslice::LevelName(bitslice::BestLevel()));

    // A typed message, one batch less a byte, and several batches with a
    // tail; padding bytes at the end of the text are the user's.
    const std::string message = "Rapat jam 10 di ruang B, bawa berkasnya.";
    RoundTrip(window, message, message);
    const std::string batch = std::string(503, 'x')
        + "\xB7"
          "a";
    RoundTrip(command, batch, batch);
    std::string longer;
    for (int i = 0; i < 3000; ++i)
        longer += static_cast<char>('!' + (i * 37) % 90);
    longer += "\xB7\xB7"
              "a";
    RoundTrip(window, "  " + longer + "  ", longer);
    return failures == 0 ? 0 : 1;
}
