// Random documents whose text and formatting are known in advance, written
// with every spelling the format allows for the same characters.
#include "codepage/CodePage.h"
#include "tests/app/rtf/RtfTestSupport.h"

#include <QFont>
#include <QTextFragment>
#include <random>
#include <string>
#include <vector>

namespace karsidan::rtf::test {
namespace {

struct Expected {
    QString text; // blocks joined by '\n'
    std::vector<char> styles; // per UTF-16 unit: 'b' bold, 'i' italic, 'B' both, '-' none
    std::vector<double> sizes;
};

char StyleCode(bool bold, bool italic) { return bold ? (italic ? 'B' : 'b') : (italic ? 'i' : '-'); }

class DocumentGenerator {
public:
    explicit DocumentGenerator(unsigned seed) : random_(seed) { }

    QByteArray Generate(Expected& expected)
    {
        pieces_.clear();
        Add("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}", false);
        const int segments = Pick(1, 12);
        for (int s = 0; s < segments; ++s) {
            if (s > 0 && Pick(0, 3) == 0) {
                Add("\\par ", true);
                Append(expected, u'\n', false, false, 0);
            }
            if (Pick(0, 4) == 0)
                Add("{\\*\\unknown junk{ nested \\par}}", true);
            if (Pick(0, 4) == 0)
                Add("\\xyzzy" + std::to_string(Pick(0, 99)) + " ", true);
            Segment(expected);
        }
        Add("}", true);

        QByteArray data;
        for (const auto& [text, breakable] : pieces_) {
            if (breakable && Pick(0, 3) == 0)
                data += Pick(0, 1) ? "\r\n" : "\n"; // source line breaks are not text
            data += QByteArray::fromStdString(text);
        }
        return data;
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    void Add(const std::string& text, bool breakable) { pieces_.emplace_back(text, breakable); }

    void Append(Expected& expected, char16_t unit, bool bold, bool italic, double size)
    {
        expected.text.append(QChar(unit));
        expected.styles.push_back(StyleCode(bold, italic));
        expected.sizes.push_back(size);
    }

    void Segment(Expected& expected)
    {
        const bool bold = Pick(0, 1);
        const bool italic = Pick(0, 1);
        const int halfPoints = Pick(8, 72);
        const int fallback = Pick(0, 3);
        Add("{\\b" + std::string(bold ? "" : "0") + "\\i" + (italic ? "1" : "0") + "\\fs" + std::to_string(halfPoints)
                + "\\uc" + std::to_string(fallback) + " ",
            true);
        const int characters = Pick(1, 20);
        for (int c = 0; c < characters; ++c)
            Character(expected, bold, italic, halfPoints / 2.0, fallback);
        Add("}", true);
    }

    void Character(Expected& expected, bool bold, bool italic, double size, int fallback)
    {
        static const char32_t kPool[] = {U'a',      U'Z',      U'0',          U' ',      U';',      U'\\',
                                         U'{',      U'}',      U'\u00e9',     U'\u20ac', U'\u00b7', U'\u0393',
                                         U'\u0416', U'\u4e2d', U'\U0001F600', U'\u2014'};
        const char32_t c = kPool[Pick(0, static_cast<int>(std::size(kPool)) - 1)];
        const QString units = QString::fromUcs4(&c, 1);
        for (const QChar unit : units)
            Append(expected, unit.unicode(), bold, italic, size);

        const auto byte = UnicodeToByte(c);
        const int spelling = Pick(0, 2);
        if (byte && (*byte == '\\' || *byte == '{' || *byte == '}')) {
            Add(std::string("\\") + static_cast<char>(*byte), true);
        } else if (byte && spelling == 0 && *byte >= 0x20) {
            Add(std::string(1, static_cast<char>(*byte)), *byte != ' ');
        } else if (byte && spelling == 1) {
            static const char kHex[] = "0123456789abcdef";
            Add(std::string("\\'") + kHex[*byte >> 4] + kHex[*byte & 15], true);
        } else {
            for (const QChar unit : units) {
                // \uN is signed 16-bit; the fallback is as long as \ucN says.
                const int n = unit.unicode() > 32767 ? unit.unicode() - 65536 : unit.unicode();
                std::string piece = "\\u" + std::to_string(n);
                for (int f = 0; f < fallback; ++f)
                    piece += Pick(0, 1) ? "?" : "\\'3f";
                if (fallback == 0)
                    piece += ' ';
                Add(piece, true);
            }
        }
    }

    std::mt19937 random_;
    std::vector<std::pair<std::string, bool>> pieces_;
};

void Actual(const QTextDocument& document, Expected& actual)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) {
            actual.text.append(u'\n');
            actual.styles.push_back('-');
            actual.sizes.push_back(0);
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            actual.text += fragment.text();
            for (int i = 0; i < fragment.length(); ++i) {
                actual.styles.push_back(StyleCode(format.fontWeight() == QFont::Bold, format.fontItalic()));
                actual.sizes.push_back(format.fontPointSize());
            }
        }
    }
}

TEST(RtfGeneratedDocument, TextAndFormattingSurviveEverySpelling)
{
    for (unsigned seed = 1; seed <= 400; ++seed) {
        DocumentGenerator generator(seed);
        Expected expected;
        const QByteArray data = generator.Generate(expected);
        Expected actual;
        Actual(*Load(data), actual);
        ASSERT_EQ(actual.text, expected.text) << "seed " << seed << "\n" << data.toStdString();
        // Paragraph separators carry no character format of their own.
        for (qsizetype i = 0; i < expected.text.size(); ++i) {
            if (expected.text[i] == u'\n')
                continue;
            ASSERT_EQ(actual.styles[i], expected.styles[i]) << "seed " << seed << " at " << i;
            ASSERT_DOUBLE_EQ(actual.sizes[i], expected.sizes[i]) << "seed " << seed << " at " << i;
        }
    }
}

} // namespace
} // namespace karsidan::rtf::test
