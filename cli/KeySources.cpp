#include "cli/KeySources.h"

#include "cli/CryptIo.h"
#include "cli/TerminalPrompt.h"
#include "cli/platform/Descriptors.h"
#include "cli/platform/Environment.h"
#include "storage/AtomicFile.h"

#include <cstdio>
#include <string_view>

namespace {

constexpr const char* kBoxNames[3] = {"Pertama", "Kedua", "Ketiga"};
constexpr std::size_t kMaxKeysFile = 4096; // three short lines; anything bigger is the wrong file

// A file or a pipe (--keys-file <(...)), read to its end.
std::string ReadKeysFile(const std::string& path)
{
    int fd = -1;
    if (const int error = platform::OpenForReading(path, &fd))
        throw CryptIoError("Berkas kunci " + path + " tidak dapat dibuka: " + karsidan::storage::ReadReasonFor(error));
    std::string content;
    char buffer[1024];
    for (;;) {
        std::size_t got = 0;
        if (const int error = platform::ReadSome(fd, buffer, &got)) {
            platform::Close(fd);
            throw CryptIoError("Berkas kunci " + path
                               + " tidak dapat dibaca: " + karsidan::storage::ReadReasonFor(error));
        }
        if (got == 0)
            break;
        content.append(buffer, got);
        if (content.size() > kMaxKeysFile) {
            platform::Close(fd);
            throw KeySourceError("Berkas kunci " + path + " terlalu besar untuk tiga kunci");
        }
    }
    platform::Close(fd);
    return content;
}

// C0 controls, DEL and C1 controls (U+0080..U+009F, C2 80..C2 9F in
// UTF-8): no key box can hold them, so no key from elsewhere may either.
void RefuseControlCharacters(const std::string& key, int box)
{
    std::size_t position = 0;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const auto byte = static_cast<unsigned char>(key[i]);
        if ((byte & 0xC0) != 0x80)
            ++position;
        unsigned code = byte;
        if (byte == 0xC2 && i + 1 < key.size())
            code = static_cast<unsigned char>(key[i + 1]);
        else if (byte >= 0x80)
            continue;
        if (code < 0x20 || code == 0x7F || (byte == 0xC2 && code >= 0x80 && code <= 0x9F)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "U+%04X", code);
            throw KeySourceError("Kunci " + std::to_string(box) + " tidak dapat dipakai. Karakter kendali " + hex
                                 + " pada posisi " + std::to_string(position) + " tidak dapat diketik di kotak kunci");
        }
    }
}

} // namespace

std::array<std::string, 3> ParseKeysFile(const std::string& content, const std::string& name)
{
    std::array<std::string, 3> keys;
    std::size_t line = 0;
    // A byte-order mark, as Notepad writes one, is no part of the first key.
    static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    std::size_t from = content.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    while (from < content.size()) {
        std::size_t end = content.find('\n', from);
        const bool last = end == std::string::npos;
        if (last)
            end = content.size();
        std::string text = content.substr(from, end - from);
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        if (line == 3)
            throw KeySourceError("Berkas kunci " + name + " memuat lebih dari tiga baris");
        keys[line++] = std::move(text);
        from = end + 1;
    }
    if (line < 3)
        throw KeySourceError("Berkas kunci " + name + " memuat " + std::to_string(line)
                             + " baris; perlu tiga, satu kunci per baris");
    return keys;
}

std::array<std::string, 3> ReadKeyTexts(const KeyArguments& arguments)
{
    std::optional<std::array<std::string, 3>> fromFile;
    if (arguments.keysFile)
        fromFile = ParseKeysFile(ReadKeysFile(*arguments.keysFile), *arguments.keysFile);

    std::array<std::string, 3> keys;
    for (int box = 0; box < 3; ++box) {
        if (arguments.options[box]) {
            keys[box] = *arguments.options[box];
            continue;
        }
        if (fromFile) {
            keys[box] = (*fromFile)[box];
            continue;
        }
        const std::string variable = "KARSIDAN_KEY" + std::to_string(box + 1);
        if (const auto value = platform::EnvironmentValue(variable); value && !value->empty()) {
            keys[box] = *value;
            continue;
        }
        const std::optional<std::string> typed = PromptSecret(std::string("Kunci ") + kBoxNames[box] + ": ");
        if (!typed)
            throw KeySourceError("Kunci " + std::to_string(box + 1) + " kosong: tidak diberikan (-"
                                 + std::to_string(box + 1) + ", --keys-file atau " + variable
                                 + ") dan tidak ada terminal untuk menanyakannya");
        keys[box] = *typed;
    }
    for (int box = 0; box < 3; ++box)
        RefuseControlCharacters(keys[box], box + 1);
    return keys;
}
