#include "app/rtf/RtfParser.h"

#include "app/rtf/RtfKeywords.h"
#include "app/rtf/RtfTokenizer.h"
#include "codepage/CodePage.h"

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

int Parameter(const Token& token, int fallback) { return token.hasParameter ? token.parameter : fallback; }

bool SwitchedOn(const Token& token) { return !token.hasParameter || token.parameter != 0; }

int Twips(const Token& token) { return std::clamp(Parameter(token, 0), -kMaxTwips, kMaxTwips); }

bool IsHighSurrogate(std::int64_t v) { return v >= 0xD800 && v <= 0xDBFF; }
bool IsLowSurrogate(std::int64_t v) { return v >= 0xDC00 && v <= 0xDFFF; }

// Where text of the page goes: the body, a text box in it, or a footnote.
bool IsPageText(Destination d)
{
    return d == Destination::Text || d == Destination::TextBox || d == Destination::Footnote;
}

bool IsBodyText(Destination d) { return d == Destination::Text || d == Destination::TextBox; }

// After \* only these are read; any other destination is skipped whole.
bool IsReadableAfterStar(const Token& token)
{
    if (token.kind != TokenKind::ControlWord || token.text.size() > RtfTokenizer::kMaxWordLength)
        return false;
    const Keyword keyword = LookupKeyword(token.text);
    return keyword == Keyword::Footnote || keyword == Keyword::ShapeInstructions;
}

// The character formatting words; false for any other word.
bool SetCharacterFormat(Keyword keyword, const Token& token, CharacterState& character)
{
    switch (keyword) {
    case Keyword::Plain: character = CharacterState{}; return true;
    case Keyword::Bold: character.bold = SwitchedOn(token); return true;
    case Keyword::Italic: character.italic = SwitchedOn(token); return true;
    case Keyword::Underline: character.underline = SwitchedOn(token); return true;
    case Keyword::UnderlineNone: character.underline = false; return true;
    case Keyword::StrikeOut: character.strikeOut = SwitchedOn(token); return true;
    case Keyword::Hidden: character.hidden = SwitchedOn(token); return true;
    case Keyword::Superscript: character.verticalShift = 1; return true;
    case Keyword::Subscript: character.verticalShift = -1; return true;
    case Keyword::NoSuperSub: character.verticalShift = 0; return true;
    case Keyword::FontSize: {
        const int halfPoints = Parameter(token, 24);
        character.halfPoints = halfPoints > 0 ? std::min(halfPoints, kMaxHalfPoints) : 24;
        return true;
    }
    case Keyword::Font:
        if (token.hasParameter && token.parameter >= 0)
            character.font = token.parameter;
        return true;
    case Keyword::Foreground: character.foreground = std::max(0, Parameter(token, 0)); return true;
    case Keyword::Background: character.background = std::max(0, Parameter(token, 0)); return true;
    default: return false;
    }
}

// The paragraph formatting words; false for any other word.
bool SetParagraphFormat(Keyword keyword, const Token& token, ParagraphState& paragraph)
{
    switch (keyword) {
    case Keyword::ParagraphDefault: paragraph = ParagraphState{}; return true;
    case Keyword::AlignLeft: paragraph.alignment = Alignment::Left; return true;
    case Keyword::AlignRight: paragraph.alignment = Alignment::Right; return true;
    case Keyword::AlignCenter: paragraph.alignment = Alignment::Center; return true;
    case Keyword::AlignJustify: paragraph.alignment = Alignment::Justify; return true;
    case Keyword::LeftIndent: paragraph.leftIndentTwips = Twips(token); return true;
    case Keyword::RightIndent: paragraph.rightIndentTwips = Twips(token); return true;
    case Keyword::FirstLineIndent: paragraph.firstLineIndentTwips = Twips(token); return true;
    case Keyword::SpaceBefore: paragraph.spaceBeforeTwips = std::max(0, Twips(token)); return true;
    case Keyword::SpaceAfter: paragraph.spaceAfterTwips = std::max(0, Twips(token)); return true;
    default: return false;
    }
}

} // namespace

RtfParser::RtfParser(std::string_view data, QTextDocument& document)
    : data_(data), formats_(fonts_, colors_), writer_(document, formats_)
{ }

void RtfParser::Run()
{
    RtfTokenizer tokenizer(data_);
    for (;;) {
        Token token = tokenizer.Next();
        if (token.kind == TokenKind::End || !Handle(token))
            break;
    }
    FlushLoneSurrogate();
    Finish();
}

void RtfParser::Finish()
{
    const GroupState& state = groups_.Current();
    if (notes_.IsEmpty()) {
        writer_.Finish(state.paragraph);
        return;
    }
    // The notes follow the body, each on a line of its own.
    writer_.SeparateParagraph(state.paragraph, state.character);
    notes_.WriteTo(writer_, CharacterState{});
    writer_.Finish(ParagraphState{});
}

bool RtfParser::Handle(const Token& original)
{
    Token token = original;
    if (fallbackToSkip_ > 0 && ConsumedAsFallback(token))
        return true;
    if (starPending_) {
        starPending_ = false;
        if (!IsReadableAfterStar(token))
            groups_.Current().destination = Destination::Skipped;
    }
    switch (token.kind) {
    case TokenKind::GroupStart: groups_.Push(); return true;
    case TokenKind::GroupEnd:
        if (groups_.Depth() <= 1)
            return false; // the document's closing brace: what follows is not read
        HandleGroupEnd();
        return true;
    case TokenKind::ControlWord: HandleControlWord(token); return true;
    case TokenKind::ControlSymbol: HandleControlSymbol(token.byte); return true;
    case TokenKind::HexByte: EmitByte(token.byte); return true;
    case TokenKind::Text: HandleText(token.text); return true;
    case TokenKind::Binary: return true; // raw data never becomes text
    case TokenKind::End: return false;
    }
    return false;
}

bool RtfParser::ConsumedAsFallback(Token& token)
{
    // A fallback is bytes, \'hh escapes or control words, but never a brace.
    switch (token.kind) {
    case TokenKind::GroupStart:
    case TokenKind::GroupEnd:
    case TokenKind::End: fallbackToSkip_ = 0; return false;
    case TokenKind::Text: {
        const std::size_t skipped = std::min(token.text.size(), static_cast<std::size_t>(fallbackToSkip_));
        fallbackToSkip_ -= static_cast<int>(skipped);
        token.text.remove_prefix(skipped);
        return token.text.empty();
    }
    default: --fallbackToSkip_; return true;
    }
}

void RtfParser::HandleGroupEnd()
{
    const GroupState& inner = groups_.Current();
    const Destination closing = inner.destination;
    const ParagraphState paragraph = inner.paragraph;
    const CharacterState character = inner.character;
    groups_.Pop();
    const Destination outer = groups_.Current().destination;
    if (closing == Destination::FontTable)
        fonts_.FinishEntry(); // an entry may end with its group instead of ';'
    // A text box's text ends its paragraph; in a footnote, its words.
    if (closing == Destination::TextBox && outer != Destination::TextBox)
        writer_.SeparateParagraph(paragraph, character);
    if (closing == Destination::Footnote && outer == Destination::Shape)
        notes_.BreakParagraph();
}

void RtfParser::HandleControlWord(const Token& token)
{
    GroupState& state = groups_.Current();
    if (state.destination == Destination::Skipped)
        return;
    const Keyword keyword = token.text.size() > RtfTokenizer::kMaxWordLength ? Keyword::Unknown
                                                                             : LookupKeyword(token.text);
    if (HandleWordOfEveryDestination(keyword, token, state))
        return;
    if (state.destination == Destination::FontTable)
        HandleFontTableWord(keyword, token);
    else if (state.destination == Destination::ColorTable)
        HandleColorTableWord(keyword, token);
    else if (!SetCharacterFormat(keyword, token, state.character)
             && !SetParagraphFormat(keyword, token, state.paragraph))
        HandleTextWord(keyword, token, state);
}

bool RtfParser::HandleWordOfEveryDestination(Keyword keyword, const Token& token, GroupState& state)
{
    switch (keyword) {
    case Keyword::FontTable: state.destination = Destination::FontTable; return true;
    case Keyword::ColorTable: state.destination = Destination::ColorTable; return true;
    case Keyword::SkippedDestination: state.destination = Destination::Skipped; return true;
    case Keyword::Footnote:
    case Keyword::Shape:
    case Keyword::ShapeInstructions:
    case Keyword::ShapeText:
        if (!HandleDestination(keyword, state))
            state.destination = Destination::Skipped;
        return true;
    case Keyword::DefaultFont: formats_.SetDefaultFont(Parameter(token, 0)); return true;
    case Keyword::UnicodeFallbackLength:
        state.unicodeFallbackLength = std::clamp(Parameter(token, 1), 0, kMaxFallbackLength);
        return true;
    case Keyword::UnicodeCharacter:
        if (token.hasParameter)
            HandleUnicode(token.parameter);
        return true;
    default: return false;
    }
}

void RtfParser::HandleFontTableWord(Keyword keyword, const Token& token)
{
    if (keyword == Keyword::Font && token.hasParameter)
        fonts_.BeginEntry(token.parameter);
    else if (keyword == Keyword::FontCharset)
        fonts_.SetCharset(Parameter(token, 0));
}

void RtfParser::HandleColorTableWord(Keyword keyword, const Token& token)
{
    if (keyword == Keyword::Red)
        colors_.SetRed(Parameter(token, 0));
    else if (keyword == Keyword::Green)
        colors_.SetGreen(Parameter(token, 0));
    else if (keyword == Keyword::Blue)
        colors_.SetBlue(Parameter(token, 0));
}

// Words that write into the page: breaks, marks, labels, tables, and the
// words that stand for one character.
void RtfParser::HandleTextWord(Keyword keyword, const Token& token, GroupState& state)
{
    switch (keyword) {
    case Keyword::Paragraph: EndParagraph(); break;
    case Keyword::Tab: Emit(U'\t'); break;
    case Keyword::LineBreak: BreakLine(); break;
    case Keyword::FootnoteMark: EmitFootnoteMark(); break;
    case Keyword::ListLabel:
        state.inListLabel = true;
        labelStarted_ = false;
        break;
    case Keyword::InTable:
    case Keyword::CellEnd:
    case Keyword::RowEnd:
    case Keyword::NestedTableEnd: HandleTableWord(keyword, state); break;
    case Keyword::Unknown:
        if (const auto character = KeywordCharacter(token.text))
            Emit(*character);
        break;
    default: break;
    }
}

bool RtfParser::HandleDestination(Keyword keyword, GroupState& state)
{
    switch (keyword) {
    case Keyword::Footnote:
        if (!IsBodyText(state.destination))
            return false; // a note in a note, a header or a font table is not text of the page
        state.destination = Destination::Footnote;
        state.inFootnote = true;
        notes_.Begin();
        return true;
    case Keyword::Shape:
    case Keyword::ShapeInstructions:
        if (!IsPageText(state.destination) && state.destination != Destination::Shape)
            return false;
        state.destination = Destination::Shape;
        return true;
    case Keyword::ShapeText:
        if (state.destination != Destination::Shape)
            return false;
        if (state.inFootnote) {
            state.destination = Destination::Footnote;
            notes_.BreakParagraph();
        } else {
            state.destination = Destination::TextBox;
            writer_.SeparateParagraph(state.paragraph, state.character);
        }
        return true;
    default: return false;
    }
}

void RtfParser::HandleTableWord(Keyword keyword, GroupState& state)
{
    if (state.destination == Destination::Footnote) {
        if (keyword != Keyword::InTable)
            notes_.BreakParagraph(); // a table in a note still reads as one line
        return;
    }
    if (!IsBodyText(state.destination))
        return;
    switch (keyword) {
    case Keyword::InTable: state.paragraph.inTable = true; break;
    case Keyword::CellEnd: writer_.EndCell(); break;
    case Keyword::RowEnd: writer_.EndRow(state.paragraph, state.character); break;
    // A table inside a cell reads as words of that cell.
    case Keyword::NestedTableEnd: writer_.BreakInsideCell(); break;
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
    case '*': starPending_ = true; break;
    default: break; // \| \: and unknown symbols carry no text
    }
}

void RtfParser::HandleText(std::string_view bytes)
{
    const Destination destination = groups_.Current().destination;
    if (destination == Destination::Skipped || destination == Destination::Shape)
        return; // picture data and the like: megabytes that are never shown
    const SymbolFont symbols = CurrentSymbols();
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        Emit(symbols == SymbolFont::None ? ByteToUnicode(code) : SymbolFontCharacter(symbols, code));
    }
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
    if (value < 0 || value > 0x10FFFF) {
        Emit(kReplacement);
        return;
    }
    Emit(MapPrivateUse(CurrentSymbols(), static_cast<char32_t>(value)));
}

void RtfParser::EmitByte(unsigned char byte)
{
    const SymbolFont symbols = CurrentSymbols();
    Emit(symbols == SymbolFont::None ? ByteToUnicode(byte) : SymbolFontCharacter(symbols, byte));
}

void RtfParser::EmitFootnoteMark()
{
    // The mark inside a note is the note's own; its line begins with the number.
    if (!IsBodyText(groups_.Current().destination))
        return;
    for (const QChar digit : QString::number(notes_.NextNumber()))
        Emit(digit.unicode());
}

SymbolFont RtfParser::CurrentSymbols()
{
    const GroupState& state = groups_.Current();
    if (!IsPageText(state.destination))
        return SymbolFont::None;
    const int font = state.character.font >= 0 ? state.character.font : formats_.DefaultFont();
    return fonts_.Symbols(font);
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
    if ((character >= 0xFDD0 && character <= 0xFDEF) || (character & 0xFFFE) == 0xFFFE || character == U'\uFFFC')
        character = kReplacement;
    const GroupState& state = groups_.Current();
    switch (state.destination) {
    case Destination::Text:
    case Destination::TextBox:
        if (state.character.hidden)
            break;
        if (state.inListLabel && !labelStarted_) {
            if (character == U' ')
                break; // LibreOffice puts a blank before the bullet
            labelStarted_ = true;
        }
        writer_.AppendCharacter(character, state.character);
        break;
    case Destination::Footnote:
        if (!state.character.hidden)
            notes_.AppendCharacter(character, state.character);
        break;
    case Destination::FontTable:
        if (character <= 0xFFFF)
            fonts_.AppendToName(QChar(static_cast<char16_t>(character)));
        break;
    case Destination::ColorTable:
        if (character == U';')
            colors_.FinishEntry();
        break;
    case Destination::Shape:
    case Destination::Skipped: break;
    }
}

void RtfParser::EndParagraph()
{
    FlushLoneSurrogate();
    const GroupState& state = groups_.Current();
    if (state.destination == Destination::Footnote)
        notes_.BreakParagraph(); // a note is one line
    else if (IsBodyText(state.destination) && state.paragraph.inTable)
        writer_.BreakInsideCell(); // a row is one line
    else if (IsBodyText(state.destination))
        writer_.EndParagraph(state.paragraph, state.character);
}

void RtfParser::BreakLine()
{
    const GroupState& state = groups_.Current();
    if (state.destination == Destination::Footnote || state.paragraph.inTable)
        EndParagraph();
    else
        Emit(U'\u2028'); // a line break inside the paragraph
}

void RtfParser::FlushLoneSurrogate()
{
    if (pendingHighSurrogate_ == 0)
        return;
    pendingHighSurrogate_ = 0;
    Emit(kReplacement); // half a pair is not a character
}

} // namespace karsidan::rtf
