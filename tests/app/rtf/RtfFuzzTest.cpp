// Bounded mutation fuzzing with a fixed seed: every case is reproducible.
#include "tests/app/rtf/RtfTestSupport.h"

#include <QTextFragment>
#include <random>
#include <vector>

namespace karsidan::rtf::test {
namespace {

class Mutator {
public:
    explicit Mutator(unsigned seed) : random_(seed) { }

    QByteArray Mutate(QByteArray data, const std::vector<QByteArray>& corpus)
    {
        const int rounds = Pick(1, 8);
        for (int r = 0; r < rounds; ++r) {
            switch (Pick(0, 6)) {
            case 0: // flip a byte
                if (!data.isEmpty())
                    data[Pick(0, int(data.size()) - 1)] = char(Pick(0, 255));
                break;
            case 1: // insert a piece of syntax
                data.insert(Position(data), Token());
                break;
            case 2: // delete a range
                if (!data.isEmpty()) {
                    const int at = Pick(0, int(data.size()) - 1);
                    data.remove(at, Pick(1, 64));
                }
                break;
            case 3: // duplicate a range
                if (!data.isEmpty()) {
                    const int at = Pick(0, int(data.size()) - 1);
                    data.insert(Position(data), data.mid(at, Pick(1, 128)));
                }
                break;
            case 4: // truncate
                data.truncate(Position(data));
                break;
            case 5: { // splice in part of another input
                const QByteArray& other = corpus[Pick(0, int(corpus.size()) - 1)];
                data.insert(Position(data), other.mid(Pick(0, int(other.size())), Pick(1, 256)));
                break;
            }
            default: // a run of braces
                data.insert(Position(data), QByteArray(Pick(1, 50), Pick(0, 1) ? '{' : '}'));
                break;
            }
        }
        if (Pick(0, 1))
            data.prepend("{\\rtf1 "); // mostly keep it rich text, so the parser is exercised
        return data;
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    int Position(const QByteArray& data) { return Pick(0, int(data.size())); }

    QByteArray Token()
    {
        static const char* const kTokens[] = {
            "{", "}", "\\", "\\'", "\\'e9", "\\'z", "\\u", "\\u-10179?", "\\u-8704?", "\\u99999999999", "\\uc", "\\uc5",
            "\\bin", "\\bin5 ", "\\bin99999999 ", "\\fs", "\\fs99999999999", "\\par", "\\pard", "\\plain", "\\*",
            "{\\*\\x ", "{\\fonttbl", "{\\colortbl;", "\\red300", "\\f", "\\f1", "\\cf1", "\\b", "\\b0", "\\tab",
            "\\line", "\\~", "\\-", "\\_", ";", "\r\n", "-", "0", "\0", "\xff",
            // footnotes, text boxes, tables, lists and symbol fonts
            "{\\*\\footnote ", "\\footnote", "\\chftn", "{\\shp", "{\\*\\shpinst ", "{\\shptxt ", "\\shptxt",
            "{\\shprslt ", "\\intbl", "\\cell", "\\row", "\\nestcell", "\\nestrow", "{\\listtext ", "\\fcharset2",
            "{\\f9\\fcharset2 Wingdings;}", "\\f9", "\\u61623?", "\\u-3913?", "\\'b7"};
        const char* token = kTokens[Pick(0, int(std::size(kTokens)) - 1)];
        return token[0] == '\0' ? QByteArray(1, '\0') : QByteArray(token);
    }

    std::mt19937 random_;
};

// Properties every read document has, whatever the input.
void CheckDocument(const QTextDocument& document, const QByteArray& input)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            // Plain text keeps its bytes as they are; rich text never yields controls.
            if (RtfReader::IsRichText(input)) {
                ASSERT_TRUE(c == u'\t' || c.unicode() >= 0x20) << "control character in " << input.toStdString();
            }
            if (c.isHighSurrogate()) {
                ASSERT_TRUE(i + 1 < text.size() && text[i + 1].isLowSurrogate()) << input.toStdString();
                ++i;
            } else {
                ASSERT_FALSE(c.isLowSurrogate()) << input.toStdString();
            }
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const qreal size = it.fragment().charFormat().fontPointSize();
            ASSERT_TRUE(size == 0 || (size >= 0.5 && size <= 1638)) << size;
        }
    }
}

TEST(RtfFuzz, MutatedDocumentsReadSafelyAndDeterministically)
{
    const std::vector<QByteArray> corpus{
        ReadDataFile("wordpad.rtf"),
        ReadDataFile("word.rtf"),
        ReadDataFile("textedit.rtf"),
        ReadDataFile("richedit-ciphertext.rtf"),
        ReadDataFile("libreoffice-bullets.rtf"),
        ReadDataFile("libreoffice-report.rtf"),
        ReadDataFile("libreoffice-textbox.rtf"),
        ReadDataFile("pandoc-report.rtf"),
        "{\\rtf1{\\fonttbl{\\f0 A;}}{\\colortbl;\\red1\\green2\\blue3;}\\f0\\cf1\\uc2\\u300\\'41\\'42 x\\par}"};
    Mutator mutator(20240314);
    QTextDocument reused;
    for (int i = 0; i < 3000; ++i) {
        const QByteArray input = mutator.Mutate(corpus[i % corpus.size()], corpus);
        const auto fresh = Load(input);
        CheckDocument(*fresh, input);
        if (HasFatalFailure())
            return;
        // Reading over earlier content gives the same document as reading fresh.
        RtfReader::Read(input, reused);
        ASSERT_EQ(reused.toRawText(), fresh->toRawText()) << input.toStdString();
    }
}

TEST(RtfFuzz, RandomBytesAfterTheSignature)
{
    std::mt19937 random(7);
    for (int i = 0; i < 1000; ++i) {
        QByteArray input("{\\rtf1");
        const int length = std::uniform_int_distribution<int>(0, 400)(random);
        for (int b = 0; b < length; ++b) {
            // Lean towards the bytes that mean something to the format.
            static const char kBytes[] = "{}\\'*-0123456789abfuinsp; \r\n";
            const int pick = std::uniform_int_distribution<int>(0, 63)(random);
            input += pick < int(sizeof kBytes) - 1 ? kBytes[pick] : char(random());
        }
        const auto document = Load(input);
        CheckDocument(*document, input);
        if (HasFatalFailure())
            return;
    }
}

} // namespace
} // namespace karsidan::rtf::test
