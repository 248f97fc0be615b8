#include "app/rtf/RtfParser.h"

#include "codepage/CodePage.h"
#include "app/rtf/RtfKeywords.h"
#include "app/rtf/RtfTokenizer.h"

#include <algorithm>
#include <cstdint>

namespace karsidan::rtf {
namespace {

constexpr char32_t kReplacement = U'\uFFFD';
// Word's own limits: font sizes up to 1638 pt, indents within 22 inches.
constexpr int kMaxHalfPoints = 3276;
constexpr int kMaxTwips = 31680;
// Fallbacks are a few bytes; anything larger only serves to swallow text.
constexpr int kMaxFallbackLength = 16;

int Parameter(const Token& token, int fallback)
{
    return token.hasParameter ? token.parameter : fallback;
}

bool SwitchedOn(const Token& token) { return !token.hasParameter || token.parameter != 0; }

int Twips(const Token& token) { return std::clamp(Parameter(token, 0), -kMaxTwips, kMaxTwips); }

bool IsHighSurrogate(std::int64_t v) { return v >= 0xD800 && v <= 0xDBFF; }
bool IsLowSurrogate(std::int64_t v) { return v >= 0xDC00 && v <= 0xDFFF; }

} // namespace

RtfParser::RtfParser(std::string_view data, QTextDocument& document)
    : data_(data), formats_(fonts_, colors_), writer_(document, formats_)
{
}

void RtfParser::Run()
{
    RtfTokenizer tokenizer(data_);
    for (;;) {
        Token token = tokenizer.Next();
        if (token.kind == TokenKind::End || !Handle(token))
            break;
    }
    FlushLoneSurrogate();
    writer_.Finish(groups_.Current().paragraph);
}

bool RtfParser::Handle(const Token& original)
{
    Token token = original;
    if (fallbackToSkip_ > 0 && ConsumedAsFallback(token))
        return true;
    switch (token.kind) {
    case TokenKind::GroupStart:
        groups_.Push();
        return true;
    case TokenKind::GroupEnd:
        if (groups_.Depth() <= 1)
            return false; // the document's closing brace: what follows is not read
        HandleGroupEnd();
        return true;
    case TokenKind::ControlWord:
        HandleControlWord(token);
        return true;
    case TokenKind::ControlSymbol:
        HandleControlSymbol(token.byte);
        return true;
    case TokenKind::HexByte:
        EmitByte(token.byte);
        return true;
    case TokenKind::Text:
        HandleText(token.text);
        return true;
    case TokenKind::Binary:
        return true; // raw data never becomes text
    case TokenKind::End:
        return false;
    }
    return false;
}

bool RtfParser::ConsumedAsFallback(Token& token)
{
    // A fallback is bytes, \'hh escapes or control words, but never a brace.
    switch (token.kind) {
    case TokenKind::GroupStart:
    case TokenKind::GroupEnd:
    case TokenKind::End:
        fallbackToSkip_ = 0;
        return false;
    case TokenKind::Text: {
        const std::size_t skipped =
            std::min(token.text.size(), static_cast<std::size_t>(fallbackToSkip_));
        fallbackToSkip_ -= static_cast<int>(skipped);
        token.text.remove_prefix(skipped);
        return token.text.empty();
    }
    default:
        --fallbackToSkip_;
        return true;
    }
}

void RtfParser::HandleGroupEnd()
{
    const Destination closing = groups_.Current().destination;
    groups_.Pop();
    if (closing == Destination::FontTable)
        fonts_.FinishEntry(); // an entry may end with its group instead of ';'
}

void RtfParser::HandleControlWord(const Token& token)
{
    GroupState& state = groups_.Current();
    if (state.destination == Destination::Skipped)
        return;
    const Keyword keyword = token.text.size() > RtfTokenizer::kMaxWordLength
        ? Keyword::Unknown
        : LookupKeyword(token.text);

    // Words that mean the same in every destination.
    switch (keyword) {
    case Keyword::FontTable:
        state.destination = Destination::FontTable;
        return;
    case Keyword::ColorTable:
        state.destination = Destination::ColorTable;
        return;
    case Keyword::SkippedDestination:
        state.destination = Destination::Skipped;
        return;
    case Keyword::DefaultFont:
        formats_.SetDefaultFont(Parameter(token, 0));
        return;
    case Keyword::UnicodeFallbackLength:
        state.unicodeFallbackLength = std::clamp(Parameter(token, 1), 0, kMaxFallbackLength);
        return;
    case Keyword::UnicodeCharacter:
        if (token.hasParameter)
            HandleUnicode(token.parameter);
        return;
    default:
        break;
    }

    if (state.destination == Destination::FontTable) {
        if (keyword == Keyword::Font && token.hasParameter)
            fonts_.BeginEntry(token.parameter);
        return;
    }
    if (state.destination == Destination::ColorTable) {
        if (keyword == Keyword::Red)
            colors_.SetRed(Parameter(token, 0));
        else if (keyword == Keyword::Green)
            colors_.SetGreen(Parameter(token, 0));
        else if (keyword == Keyword::Blue)
            colors_.SetBlue(Parameter(token, 0));
        return;
    }

    CharacterState& character = state.character;
    ParagraphState& paragraph = state.paragraph;
    switch (keyword) {
    case Keyword::Plain: character = CharacterState{}; break;
    case Keyword::Bold: character.bold = SwitchedOn(token); break;
    case Keyword::Italic: character.italic = SwitchedOn(token); break;
    case Keyword::Underline: character.underline = SwitchedOn(token); break;
    case Keyword::UnderlineNone: character.underline = false; break;
    case Keyword::StrikeOut: character.strikeOut = SwitchedOn(token); break;
    case Keyword::Hidden: character.hidden = SwitchedOn(token); break;
    case Keyword::Superscript: character.verticalShift = 1; break;
    case Keyword::Subscript: character.verticalShift = -1; break;
    case Keyword::NoSuperSub: character.verticalShift = 0; break;
    case Keyword::FontSize: {
        const int halfPoints = Parameter(token, 24);
        character.halfPoints = halfPoints > 0 ? std::min(halfPoints, kMaxHalfPoints) : 24;
        break;
    }
    case Keyword::Font:
        if (token.hasParameter && token.parameter >= 0)
            character.font = token.parameter;
        break;
    case Keyword::Foreground: character.foreground = std::max(0, Parameter(token, 0)); break;
    case Keyword::Background: character.background = std::max(0, Parameter(token, 0)); break;
    case Keyword::Paragraph: EndParagraph(); break;
    case Keyword::ParagraphDefault: paragraph = ParagraphState{}; break;
    case Keyword::AlignLeft: paragraph.alignment = Alignment::Left; break;
    case Keyword::AlignRight: paragraph.alignment = Alignment::Right; break;
    case Keyword::AlignCenter: paragraph.alignment = Alignment::Center; break;
    case Keyword::AlignJustify: paragraph.alignment = Alignment::Justify; break;
    case Keyword::LeftIndent: paragraph.leftIndentTwips = Twips(token); break;
    case Keyword::RightIndent: paragraph.rightIndentTwips = Twips(token); break;
    case Keyword::FirstLineIndent: paragraph.firstLineIndentTwips = Twips(token); break;
    case Keyword::SpaceBefore: paragraph.spaceBeforeTwips = std::max(0, Twips(token)); break;
    case Keyword::SpaceAfter: paragraph.spaceAfterTwips = std::max(0, Twips(token)); break;
    case Keyword::Tab:
    case Keyword::CellEnd: Emit(U'\t'); break;
    case Keyword::LineBreak: Emit(U'\u2028'); break; // a line break inside the paragraph
    case Keyword::Unknown:
        if (const auto character32 = KeywordCharacter(token.text))
            Emit(*character32);
        break;
    default: break;
    }
}

void RtfParser::HandleControlSymbol(unsigned char symbol)
{
    switch (symbol) {
    case '\\':
    case '{':
    case '}': EmitByte(symbol); break;
    case '~': Emit(U'\u00A0'); break; // non-breaking space
    case '-': Emit(U'\u00AD'); break; // optional hyphen: shown only at a line end
    case '_': Emit(U'\u2011'); break; // non-breaking hyphen
    case '\t': Emit(U'\t'); break;
    case '\n': EndParagraph(); break;
    case '*': groups_.Current().destination = Destination::Skipped; break;
    default: break; // \| \: and unknown symbols carry no text
    }
}

void RtfParser::HandleText(std::string_view bytes)
{
    if (groups_.Current().destination == Destination::Skipped)
        return; // picture data and the like: megabytes that are never shown
    for (const char byte : bytes)
        EmitByte(static_cast<unsigned char>(byte));
}

void RtfParser::HandleUnicode(std::int32_t parameter)
{
    std::int64_t value = parameter;
    if (value < 0)
        value += 65536; // \uN is a signed 16-bit number
    fallbackToSkip_ = groups_.Current().unicodeFallbackLength;

    if (IsHighSurrogate(value)) {
        FlushLoneSurrogate();
        pendingHighSurrogate_ = static_cast<char16_t>(value);
        return;
    }
    if (IsLowSurrogate(value)) {
        if (pendingHighSurrogate_ == 0) {
            Emit(kReplacement);
            return;
        }
        const char32_t joined = 0x10000 + ((pendingHighSurrogate_ - 0xD800) << 10)
            + (static_cast<char32_t>(value) - 0xDC00);
        pendingHighSurrogate_ = 0;
        Emit(joined);
        return;
    }
    if (value == 0)
        return; // NUL is no text
    // Some writers put code points beyond 16 bits directly; take them when valid.
    Emit(value < 0 || value > 0x10FFFF ? kReplacement : static_cast<char32_t>(value));
}

void RtfParser::EmitByte(unsigned char byte)
{
    Emit(ByteToUnicode(byte));
}

void RtfParser::Emit(char32_t character)
{
    FlushLoneSurrogate();
    if (character < 0x20 && character != U'\t')
        return; // control characters are not text
    if (character == U'\u2029') {
        EndParagraph();
        return;
    }
    // Noncharacters (among them the markers QTextDocument uses for its own
    // frames) and the object placeholder must not enter the document.
    if ((character >= 0xFDD0 && character <= 0xFDEF) || (character & 0xFFFE) == 0xFFFE
        || character == U'\uFFFC')
        character = kReplacement;
    const GroupState& state = groups_.Current();
    switch (state.destination) {
    case Destination::Text:
        if (!state.character.hidden)
            writer_.AppendCharacter(character, state.character);
        break;
    case Destination::FontTable:
        if (character <= 0xFFFF)
            fonts_.AppendToName(QChar(static_cast<char16_t>(character)));
        break;
    case Destination::ColorTable:
        if (character == U';')
            colors_.FinishEntry();
        break;
    case Destination::Skipped:
        break;
    }
}

void RtfParser::EndParagraph()
{
    const GroupState& state = groups_.Current();
    if (state.destination != Destination::Text)
        return;
    FlushLoneSurrogate();
    writer_.EndParagraph(state.paragraph, state.character);
}

void RtfParser::FlushLoneSurrogate()
{
    if (pendingHighSurrogate_ == 0)
        return;
    pendingHighSurrogate_ = 0;
    Emit(kReplacement); // half a pair is not a character
}

} // namespace karsidan::rtf
