#include "platform/rtf/RtfControlWords.h"

#include <unordered_map>

namespace Rtf::Reading {

namespace {

// Control words are short: a hash of a few multiplications beats the
// library's general one.
struct WordHash {
    std::size_t operator()(std::string_view name) const {
        std::size_t h = 0xcbf29ce484222325u;
        for (const char c : name)
            h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
        return h;
    }
};

} // namespace

const WordInfo& lookUp(std::string_view name) {
    static const std::unordered_map<std::string_view, WordInfo, WordHash> words = {
        {"ansicpg", {Word::AnsiCodePage}},
        {"pc", {Word::CharacterSet, 437}},
        {"pca", {Word::CharacterSet, 850}},
        {"mac", {Word::CharacterSet, 10000}},
        {"deff", {Word::DefaultFont}},
        {"fonttbl", {Word::FontTable}},
        {"colortbl", {Word::ColorTable}},
        // Destinations whose text is not the document's.
        {"stylesheet", {Word::SkippedDestination}},
        {"info", {Word::SkippedDestination}},
        {"pict", {Word::SkippedDestination}},
        {"object", {Word::SkippedDestination}},
        {"header", {Word::SkippedDestination}},
        {"headerl", {Word::SkippedDestination}},
        {"headerr", {Word::SkippedDestination}},
        {"headerf", {Word::SkippedDestination}},
        {"footer", {Word::SkippedDestination}},
        {"footerl", {Word::SkippedDestination}},
        {"footerr", {Word::SkippedDestination}},
        {"footerf", {Word::SkippedDestination}},
        {"footnote", {Word::SkippedDestination}},
        {"annotation", {Word::SkippedDestination}},
        {"fldinst", {Word::SkippedDestination}},
        {"filetbl", {Word::SkippedDestination}},
        {"revtbl", {Word::SkippedDestination}},
        {"listtable", {Word::SkippedDestination}},
        {"listoverridetable", {Word::SkippedDestination}},
        {"pn", {Word::SkippedDestination}},
        {"pntxta", {Word::SkippedDestination}},
        {"pntxtb", {Word::SkippedDestination}},
        {"xe", {Word::SkippedDestination}},
        {"tc", {Word::SkippedDestination}},
        {"txe", {Word::SkippedDestination}},
        {"rxe", {Word::SkippedDestination}},
        {"nonshppict", {Word::SkippedDestination}},
        {"fcharset", {Word::Charset}},
        {"cpg", {Word::FontCodePage}},
        {"red", {Word::Red}},
        {"green", {Word::Green}},
        {"blue", {Word::Blue}},
        {"plain", {Word::Plain}},
        {"f", {Word::Font}},
        {"fs", {Word::FontSize}},
        {"cf", {Word::Color}},
        {"b", {Word::Bold}},
        {"i", {Word::Italic}},
        {"ul", {Word::Underline}},
        {"uld", {Word::Underline}},
        {"uldash", {Word::Underline}},
        {"uldashd", {Word::Underline}},
        {"uldashdd", {Word::Underline}},
        {"uldb", {Word::Underline}},
        {"ulhwave", {Word::Underline}},
        {"ulldash", {Word::Underline}},
        {"ulth", {Word::Underline}},
        {"ulthd", {Word::Underline}},
        {"ulthdash", {Word::Underline}},
        {"ulthdashd", {Word::Underline}},
        {"ulthdashdd", {Word::Underline}},
        {"ulthldash", {Word::Underline}},
        {"ululdbwave", {Word::Underline}},
        {"ulw", {Word::Underline}},
        {"ulwave", {Word::Underline}},
        {"ulnone", {Word::UnderlineNone}},
        {"strike", {Word::Strike}},
        {"striked", {Word::Strike}},
        {"dbch", {Word::DoubleByteText}},
        {"loch", {Word::OtherText}},
        {"hich", {Word::OtherText}},
        {"ltrch", {Word::OtherText}},
        {"rtlch", {Word::OtherText}},
        {"af", {Word::AssociatedFont}},
        {"afs", {Word::AssociatedFontSize}},
        {"acf", {Word::AssociatedColor}},
        {"ab", {Word::AssociatedBold}},
        {"ai", {Word::AssociatedItalic}},
        {"aul", {Word::AssociatedUnderline}},
        {"auld", {Word::AssociatedUnderline}},
        {"auldash", {Word::AssociatedUnderline}},
        {"auldashd", {Word::AssociatedUnderline}},
        {"auldashdd", {Word::AssociatedUnderline}},
        {"auldb", {Word::AssociatedUnderline}},
        {"aulhwave", {Word::AssociatedUnderline}},
        {"aulldash", {Word::AssociatedUnderline}},
        {"aulth", {Word::AssociatedUnderline}},
        {"aulthd", {Word::AssociatedUnderline}},
        {"aulthdash", {Word::AssociatedUnderline}},
        {"aulthdashd", {Word::AssociatedUnderline}},
        {"aulthdashdd", {Word::AssociatedUnderline}},
        {"aulthldash", {Word::AssociatedUnderline}},
        {"aululdbwave", {Word::AssociatedUnderline}},
        {"aulw", {Word::AssociatedUnderline}},
        {"aulwave", {Word::AssociatedUnderline}},
        {"aulnone", {Word::AssociatedUnderlineNone}},
        {"astrike", {Word::AssociatedStrike}},
        {"astriked", {Word::AssociatedStrike}},
        {"par", {Word::Paragraph}},
        {"sect", {Word::Section}},
        {"line", {Word::Line}},
        {"tab", {Word::Tab}},
        {"cell", {Word::Cell}},
        {"nestcell", {Word::Cell}},
        {"row", {Word::Row}},
        {"nestrow", {Word::Row}},
        {"u", {Word::Unicode}},
        {"uc", {Word::UnicodeSkip}},
        {"bin", {Word::Binary}},
        {"emdash", {Word::Symbol, u'\u2014'}},
        {"endash", {Word::Symbol, u'\u2013'}},
        {"lquote", {Word::Symbol, u'\u2018'}},
        {"rquote", {Word::Symbol, u'\u2019'}},
        {"ldblquote", {Word::Symbol, u'\u201C'}},
        {"rdblquote", {Word::Symbol, u'\u201D'}},
        {"bullet", {Word::Symbol, u'\u2022'}},
    };
    static const WordInfo unknown{Word::Unknown};
    const auto it = words.find(name);
    return it == words.end() ? unknown : it->second;
}

} // namespace Rtf::Reading
