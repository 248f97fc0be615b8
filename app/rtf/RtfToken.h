#pragma once
// One lexical unit of an RTF stream.

#include <cstdint>
#include <string_view>

namespace karsidan::rtf {

enum class TokenKind {
    End, // no more input
    GroupStart, // {
    GroupEnd, // }
    ControlWord, // \letters with an optional parameter
    ControlSymbol, // \ followed by one non-letter (not ')
    HexByte, // \'hh
    Binary, // \binN and the N raw bytes after it
    Text, // a run of literal bytes, CR/LF excluded
};

struct Token {
    TokenKind kind = TokenKind::End;
    // ControlWord: the letters. Text: the bytes. Points into the input.
    std::string_view text;
    bool hasParameter = false;
    std::int32_t parameter = 0;
    // ControlSymbol: the symbol. HexByte: the byte.
    unsigned char byte = 0;
};

} // namespace karsidan::rtf
