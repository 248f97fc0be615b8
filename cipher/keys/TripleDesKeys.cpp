#include "cipher/keys/TripleDesKeys.h"

#include "cipher/consttime/ConstantTime.h"
#include "cipher/keys/KeyError.h"
#include "cipher/padding/Padding.h"
#include "codepage/CodePage.h"

#include <mutex>
#include <string>

namespace karsidan {

struct TripleDesKeys::MaskCache {
    std::once_flag once[2];
    std::unique_ptr<bitslice::RoundKeyMasks> masks[2];
};

namespace {

std::string Named(int box, const char* what) { return "Kunci " + std::to_string(box) + " " + what; }

[[noreturn]] void Refuse(int box, KeyRule rule, const std::string& reason = {})
{
    switch (rule) {
    case KeyRule::Blank: throw KeyError(box, rule, Named(box, "kosong"));
    case KeyRule::TooLong:
        throw KeyError(box, rule,
                       Named(box, "lebih dari ") + std::to_string(TripleDesKeys::kMaxCharacters) + " karakter");
    case KeyRule::Unmappable: break;
    }
    throw KeyError(box, rule, Named(box, "tidak dapat dipakai. ") + reason);
}

// Outer spaces go; whether a character is a space is the one thing about
// it that may steer a branch.
template <typename Char>
std::basic_string_view<Char> Trim(std::basic_string_view<Char> s) noexcept
{
    while (!s.empty() && ct::Declassify(s.front() == Char(' ')))
        s.remove_prefix(1);
    while (!s.empty() && ct::Declassify(s.back() == Char(' ')))
        s.remove_suffix(1);
    return s;
}

template <typename Char>
void RefuseBlank(const std::array<std::basic_string_view<Char>, 3>& keys)
{
    for (int box = 1; box <= 3; ++box)
        if (keys[box - 1].empty())
            Refuse(box, KeyRule::Blank);
}

void RefuseLong(std::size_t characters, int box)
{
    if (characters > TripleDesKeys::kMaxCharacters)
        Refuse(box, KeyRule::TooLong);
}

// First up to eight bytes, then padding.
std::uint64_t EffectiveKey(const unsigned char* bytes, std::size_t n) noexcept
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < 8; ++i)
        value = (value << 8) | (i < n ? bytes[i] : kPadByte);
    return value;
}

// A UTF-16 unit outside the surrogates to its code-page byte by masks: the
// byte, and all ones in `found` when the code page holds it.
std::uint32_t CodePageByte(std::uint32_t c, std::uint32_t& found) noexcept
{
    const std::uint32_t direct = ct::Less(c, 0x80) | (~ct::Less(c, 0xA0) & ct::Less(c, 0x100));
    std::uint32_t byte = c & direct;
    found = direct;
    for (std::uint32_t b = 0x80; b < 0xA0; ++b) {
        const std::uint32_t m = ct::Equal(c, ByteToUnicode(static_cast<unsigned char>(b)));
        byte |= b & m;
        found |= m;
    }
    return byte & 0xFF;
}

// A key's code-page bytes (the first eight are all that count) and its
// length in characters. `ok` loses its bits for a character the code page
// cannot hold or a malformed sequence.
struct Converted {
    unsigned char bytes[8] = {};
    std::size_t characters = 0;
    std::uint32_t ok = ~0u;

    void Add(std::uint32_t codePoint) noexcept
    {
        std::uint32_t found = 0;
        const std::uint32_t byte = CodePageByte(codePoint, found);
        ok &= found;
        if (characters < 8)
            bytes[characters] = static_cast<unsigned char>(byte);
        ++characters;
    }
};

Converted Convert(std::u16string_view key) noexcept
{
    Converted out;
    for (const char16_t unit : key) {
        // A surrogate never maps to a byte; what it pairs with is moot.
        if (ct::Declassify((unit & 0xF800) == 0xD800)) {
            out.ok = 0;
            break;
        }
        out.Add(unit);
    }
    return out;
}

// UTF-8 decoding branches on the length of each sequence, which its lead
// byte's class gives, and on nothing else.
Converted Convert(std::string_view key) noexcept
{
    Converted out;
    for (std::size_t i = 0; i < key.size();) {
        const std::uint32_t lead = static_cast<unsigned char>(key[i]);
        const std::uint32_t classes = (1u & ct::Less(lead, 0x80)) | (2u & ct::Equal(lead & 0xE0, 0xC0))
            | (3u & ct::Equal(lead & 0xF0, 0xE0)) | (4u & ct::Equal(lead & 0xF8, 0xF0));
        const std::size_t length = ct::Declassify(classes);
        if (length == 0 || key.size() - i < length) {
            out.ok = 0;
            break;
        }
        static constexpr std::uint32_t kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
        static constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        std::uint32_t c = lead & kLeadBits[length];
        std::uint32_t well = ~0u;
        for (std::size_t k = 1; k < length; ++k) {
            const std::uint32_t cont = static_cast<unsigned char>(key[i + k]);
            well &= ct::Equal(cont & 0xC0, 0x80);
            c = (c << 6) | (cont & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are malformed.
        well &= ~ct::Less(c, kSmallest[length]) & ct::Less(c, 0x110000) & ~(ct::Equal(c & 0xFFFFF800, 0xD800));
        out.ok &= well;
        out.Add(c);
        i += length;
    }
    return out;
}

// Refuses a key the code page cannot hold, or one too long; else its
// effective key. `explain` gives the code page's reason, off the
// constant-time road since it names the character.
template <typename Text, typename Explain>
std::uint64_t EffectiveOf(Text key, int box, Explain explain)
{
    const Converted c = Convert(key);
    if (!ct::Declassify(c.ok != 0)) {
        try {
            explain(key);
        } catch (const std::invalid_argument& e) {
            Refuse(box, KeyRule::Unmappable, e.what());
        }
        Refuse(box, KeyRule::Unmappable, "Karakter tidak sah");
    }
    RefuseLong(c.characters, box);
    return EffectiveKey(c.bytes, c.characters);
}

} // namespace

TripleDesKeys::TripleDesKeys(const std::array<std::uint64_t, 3>& effective)
    : effective_(effective), masks_(std::make_shared<MaskCache>())
{
    for (std::size_t i = 0; i < 3; ++i)
        rounds_[i] = MakeDesRoundKeys(effective_[i]);
}

TripleDesKeys TripleDesKeys::FromUtf16(std::u16string_view key1, std::u16string_view key2, std::u16string_view key3)
{
    const std::array<std::u16string_view, 3> keys = {Trim(key1), Trim(key2), Trim(key3)};
    RefuseBlank(keys);
    std::array<std::uint64_t, 3> effective{};
    for (int box = 1; box <= 3; ++box)
        effective[box - 1] = EffectiveOf(keys[box - 1], box, Utf16ToCodePage);
    return TripleDesKeys(effective);
}

TripleDesKeys TripleDesKeys::FromUtf8(std::string_view key1, std::string_view key2, std::string_view key3)
{
    const std::array<std::string_view, 3> keys = {Trim(key1), Trim(key2), Trim(key3)};
    RefuseBlank(keys);
    std::array<std::uint64_t, 3> effective{};
    for (int box = 1; box <= 3; ++box)
        effective[box - 1] = EffectiveOf(keys[box - 1], box, Utf8ToCodePage);
    return TripleDesKeys(effective);
}

TripleDesKeys TripleDesKeys::FromCodePage(std::string_view key1, std::string_view key2, std::string_view key3)
{
    const std::array<std::string_view, 3> keys = {Trim(key1), Trim(key2), Trim(key3)};
    RefuseBlank(keys);
    std::array<std::uint64_t, 3> effective{};
    for (int box = 1; box <= 3; ++box) {
        RefuseLong(keys[box - 1].size(), box);
        effective[box - 1] = EffectiveKey(reinterpret_cast<const unsigned char*>(keys[box - 1].data()),
                                          keys[box - 1].size());
    }
    return TripleDesKeys(effective);
}

std::array<bitslice::DesPass, 3> TripleDesKeys::Passes(PassOrder order) const noexcept
{
    if (order == PassOrder::Encryption)
        return {{{effective_[0], true}, {effective_[1], false}, {effective_[2], true}}};
    return {{{effective_[2], false}, {effective_[1], true}, {effective_[0], false}}};
}

const bitslice::RoundKeyMasks& TripleDesKeys::Masks(PassOrder order) const
{
    const int i = order == PassOrder::Encryption ? 0 : 1;
    std::call_once(masks_->once[i], [&] {
        // 45 KiB: on the heap.
        auto masks = std::make_unique_for_overwrite<bitslice::RoundKeyMasks>();
        const auto passes = Passes(order);
        const int first = order == PassOrder::Encryption ? 0 : 2;
        const int step = order == PassOrder::Encryption ? 1 : -1;
        bitslice::FillRoundKeyMasks(
            *masks, {&rounds_[first].round, &rounds_[first + step].round, &rounds_[first + 2 * step].round},
            {passes[0].encrypt, passes[1].encrypt, passes[2].encrypt});
        masks_->masks[i] = std::move(masks);
    });
    return *masks_->masks[i];
}

} // namespace karsidan
