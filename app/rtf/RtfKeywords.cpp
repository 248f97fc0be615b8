#include "app/rtf/RtfKeywords.h"

#include <unordered_map>

namespace karsidan::rtf {

Keyword LookupKeyword(std::string_view word)
{
    static const std::unordered_map<std::string_view, Keyword> table = [] {
        std::unordered_map<std::string_view, Keyword> t{
            {"fonttbl", Keyword::FontTable},
            {"colortbl", Keyword::ColorTable},
            {"deff", Keyword::DefaultFont},
            {"fcharset", Keyword::FontCharset},
            {"footnote", Keyword::Footnote},
            {"chftn", Keyword::FootnoteMark},
            {"listtext", Keyword::ListLabel},
            {"pntext", Keyword::ListLabel},
            {"shp", Keyword::Shape},
            {"shpinst", Keyword::ShapeInstructions},
            {"shptxt", Keyword::ShapeText},
            {"red", Keyword::Red},
            {"green", Keyword::Green},
            {"blue", Keyword::Blue},
            {"plain", Keyword::Plain},
            {"b", Keyword::Bold},
            {"i", Keyword::Italic},
            {"ul", Keyword::Underline},
            {"ulnone", Keyword::UnderlineNone},
            {"strike", Keyword::StrikeOut},
            {"striked", Keyword::StrikeOut},
            {"v", Keyword::Hidden},
            {"super", Keyword::Superscript},
            {"sub", Keyword::Subscript},
            {"nosupersub", Keyword::NoSuperSub},
            {"fs", Keyword::FontSize},
            {"f", Keyword::Font},
            {"cf", Keyword::Foreground},
            {"highlight", Keyword::Background},
            {"cb", Keyword::Background},
            {"par", Keyword::Paragraph},
            {"page", Keyword::Paragraph},
            {"sect", Keyword::Paragraph},
            {"intbl", Keyword::InTable},
            {"row", Keyword::RowEnd},
            {"nestrow", Keyword::NestedTableEnd},
            {"pard", Keyword::ParagraphDefault},
            {"ql", Keyword::AlignLeft},
            {"qr", Keyword::AlignRight},
            {"qc", Keyword::AlignCenter},
            {"qj", Keyword::AlignJustify},
            {"qd", Keyword::AlignJustify},
            {"li", Keyword::LeftIndent},
            {"lin", Keyword::LeftIndent},
            {"ri", Keyword::RightIndent},
            {"rin", Keyword::RightIndent},
            {"fi", Keyword::FirstLineIndent},
            {"sb", Keyword::SpaceBefore},
            {"sa", Keyword::SpaceAfter},
            {"tab", Keyword::Tab},
            {"line", Keyword::LineBreak},
            {"cell", Keyword::CellEnd},
            {"nestcell", Keyword::NestedTableEnd},
            {"u", Keyword::UnicodeCharacter},
            {"uc", Keyword::UnicodeFallbackLength},
        };
        // Underline styles all read as underline; \ulc (its colour) does not.
        // clang-format off
        for (std::string_view w : {"uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave",
                 "ulldash", "ulth", "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash",
                 "ululdbwave", "ulw", "ulwave"})
            t.emplace(w, Keyword::Underline);
        // Destinations whose content is not body text.
        for (std::string_view w : {"author", "buptim", "comment", "creatim", "doccomm",
                 "footer", "footerf", "footerl", "footerr", "ftncn", "ftnsep",
                 "ftnsepc", "header", "headerf", "headerl", "headerr", "info", "keywords",
                 "operator", "pict", "printim", "private", "revtim", "rxe", "stylesheet",
                 "subject", "tc", "title", "txe", "xe", "object", "objdata", "fldinst",
                 "listtable", "listoverridetable", "revtbl", "rsidtbl", "filetbl",
                 "themedata", "colorschememapping", "datastore", "latentstyles", "generator",
                 "xmlnstbl", "pgdsctbl", "nonshppict", "shprslt", "do", "annotation",
                 "atnid", "atnauthor", "atndate", "atnref", "bkmkstart", "bkmkend", "pn",
                 "mmathPr", "template", "nextfile", "fontemb", "fontfile", "userprops",
                 "docvar", "background", "ud"})
            t.emplace(w, Keyword::SkippedDestination);
        // clang-format on
        return t;
    }();
    const auto found = table.find(word);
    return found == table.end() ? Keyword::Unknown : found->second;
}

std::optional<char32_t> KeywordCharacter(std::string_view word)
{
    static const std::unordered_map<std::string_view, char32_t> table{
        {"emdash", U'\u2014'},    {"endash", U'\u2013'},    {"emspace", U'\u2003'}, {"enspace", U'\u2002'},
        {"qmspace", U'\u2005'},   {"bullet", U'\u2022'},    {"lquote", U'\u2018'},  {"rquote", U'\u2019'},
        {"ldblquote", U'\u201C'}, {"rdblquote", U'\u201D'}, {"zwj", U'\u200D'},     {"zwnj", U'\u200C'},
        {"zwbo", U'\u200B'},      {"ltrmark", U'\u200E'},   {"rtlmark", U'\u200F'},
    };
    const auto found = table.find(word);
    if (found == table.end())
        return std::nullopt;
    return found->second;
}

} // namespace karsidan::rtf
