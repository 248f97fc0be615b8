#include "cli/KeySources.h"

#include "cli/TerminalPrompt.h"
#include "cli/platform/Descriptors.h"
#include "cli/platform/Environment.h"
#include "storage/AtomicFile.h"

namespace {

constexpr const char* kBoxNames[3] = {"Pertama", "Kedua", "Ketiga"};
constexpr std::size_t kMaxKeysFile = 4096; // three short lines; anything bigger is the wrong file

std::string ReadKeysFile(const std::string& path)
{
    int fd = -1;
    if (const int error = platform::OpenForReading(path, &fd))
        throw KeySourceError("Berkas kunci " + path
                             + " tidak dapat dibuka: " + karsidan::storage::ReadReasonFor(error));
    std::string content;
    char buffer[1024];
    for (;;) {
        std::size_t got = 0;
        if (const int error = platform::ReadSome(fd, buffer, &got)) {
            platform::Close(fd);
            throw KeySourceError("Berkas kunci " + path
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

} // namespace

std::array<std::string, 3> ParseKeysFile(const std::string& content, const std::string& name)
{
    std::array<std::string, 3> keys;
    std::size_t line = 0;
    std::size_t from = 0;
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
    return keys;
}
