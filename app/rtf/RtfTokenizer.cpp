#include "app/rtf/RtfTokenizer.h"

#include <cstdint>
#include <limits>

namespace karsidan::rtf {
namespace {

bool IsLetter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }

int HexValue(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

int RtfTokenizer::Peek() const { return position_ < data_.size() ? static_cast<unsigned char>(data_[position_]) : -1; }

Token RtfTokenizer::Next()
{
    for (;;) {
        const int c = Peek();
        if (c < 0)
            return {};
        if (c == '\r' || c == '\n') {
            ++position_; // line breaks in the source carry no meaning
            continue;
        }
        if (c == '{' || c == '}') {
            ++position_;
            Token token;
            token.kind = c == '{' ? TokenKind::GroupStart : TokenKind::GroupEnd;
            return token;
        }
        if (c == '\\')
            return ReadControl();
        return ReadText();
    }
}

Token RtfTokenizer::ReadText()
{
    const std::size_t start = position_;
    while (position_ < data_.size()) {
        const char c = data_[position_];
        if (c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n')
            break;
        ++position_;
    }
    Token token;
    token.kind = TokenKind::Text;
    token.text = data_.substr(start, position_ - start);
    return token;
}

Token RtfTokenizer::ReadControl()
{
    ++position_; // the backslash
    const int c = Peek();
    if (c < 0)
        return {}; // a lone backslash at the end: nothing follows
    if (IsLetter(c))
        return ReadControlWord();
    ++position_;
    if (c == '\'')
        return ReadHexByte();
    Token token;
    token.kind = TokenKind::ControlSymbol;
    // An escaped line break is an old spelling of \par.
    token.byte = c == '\r' ? '\n' : static_cast<unsigned char>(c);
    if (c == '\r' && Peek() == '\n')
        ++position_;
    return token;
}

Token RtfTokenizer::ReadControlWord()
{
    const std::size_t start = position_;
    while (IsLetter(Peek()))
        ++position_;
    Token token;
    token.kind = TokenKind::ControlWord;
    token.text = data_.substr(start, position_ - start);

    const bool negative = Peek() == '-' && position_ + 1 < data_.size()
        && IsDigit(static_cast<unsigned char>(data_[position_ + 1]));
    if (negative)
        ++position_;
    if (IsDigit(Peek())) {
        // Saturate rather than overflow: "\fs99999999999" is a big number, not UB.
        constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
        std::int64_t value = 0;
        while (IsDigit(Peek())) {
            if (value <= kLimit)
                value = value * 10 + (Peek() - '0');
            ++position_;
        }
        if (value > kLimit)
            value = kLimit;
        token.hasParameter = true;
        token.parameter = static_cast<std::int32_t>(negative ? -value : value);
    }
    if (Peek() == ' ')
        ++position_; // the delimiting space belongs to the word

    if (token.text == "bin") {
        // Raw bytes follow; they may contain braces and backslashes.
        const std::size_t remaining = data_.size() - position_;
        std::size_t length = 0;
        if (token.hasParameter && token.parameter > 0)
            length = static_cast<std::size_t>(token.parameter);
        if (length > remaining)
            length = remaining;
        token.kind = TokenKind::Binary;
        token.text = data_.substr(position_, length);
        position_ += length;
    }
    return token;
}

Token RtfTokenizer::ReadHexByte()
{
    // Up to two hex digits; a broken escape yields what it has, or nothing.
    int value = 0;
    int digits = 0;
    while (digits < 2) {
        const int digit = HexValue(Peek());
        if (digit < 0)
            break;
        value = value * 16 + digit;
        ++digits;
        ++position_;
    }
    Token token;
    if (digits == 0) {
        token.kind = TokenKind::Text; // an empty run: the escape is dropped
        return token;
    }
    token.kind = TokenKind::HexByte;
    token.byte = static_cast<unsigned char>(value);
    return token;
}

} // namespace karsidan::rtf
