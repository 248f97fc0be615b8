#pragma once
// Drives the tokens of one RTF stream through the group stack into the font
// and colour tables and the document writer.

#include "app/rtf/RtfColorTable.h"
#include "app/rtf/RtfDocumentWriter.h"
#include "app/rtf/RtfFontTable.h"
#include "app/rtf/RtfFootnotes.h"
#include "app/rtf/RtfFormatBuilder.h"
#include "app/rtf/RtfGroupStack.h"
#include "app/rtf/RtfKeywords.h"
#include "app/rtf/RtfSymbolFonts.h"
#include "app/rtf/RtfToken.h"

#include <QTextDocument>
#include <string_view>

namespace karsidan::rtf {

class RtfParser {
public:
    RtfParser(std::string_view data, QTextDocument& document);
    void Run();

private:
    // Returns false once the outermost group has closed.
    bool Handle(const Token& token);
    bool ConsumedAsFallback(Token& token);
    void HandleGroupEnd();
    void HandleControlWord(const Token& token);
    // Words that mean the same in every destination; false for others.
    bool HandleWordOfEveryDestination(Keyword keyword, const Token& token, GroupState& state);
    void HandleFontTableWord(Keyword keyword, const Token& token);
    void HandleColorTableWord(Keyword keyword, const Token& token);
    void HandleTextWord(Keyword keyword, const Token& token, GroupState& state);
    // Destinations that change how text is read; false for other words.
    bool HandleDestination(Keyword keyword, GroupState& state);
    void HandleTableWord(Keyword keyword, GroupState& state);
    void HandleControlSymbol(unsigned char symbol);
    void HandleText(std::string_view bytes);
    void HandleUnicode(std::int32_t parameter);
    void EmitByte(unsigned char byte);
    void Emit(char32_t character);
    void EmitFootnoteMark();
    void EndParagraph();
    void BreakLine();
    void FlushLoneSurrogate();
    void Finish();
    // The symbol font the current text is written in, if any.
    SymbolFont CurrentSymbols();

    std::string_view data_;
    RtfFontTable fonts_;
    RtfColorTable colors_;
    RtfFormatBuilder formats_;
    RtfDocumentWriter writer_;
    RtfFootnotes notes_;
    RtfGroupStack groups_;
    int fallbackToSkip_ = 0; // bytes still to skip after \uN
    char16_t pendingHighSurrogate_ = 0;
    bool labelStarted_ = false; // a list label has shown more than blanks
    bool starPending_ = false; // \* came last: only a known destination may follow
};

} // namespace karsidan::rtf
