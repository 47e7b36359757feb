#pragma once

#include <string_view>

// The control words the RTF reader knows, by name.
namespace Rtf::Reading {

enum class Word {
    Unknown,
    // document
    AnsiCodePage,
    CharacterSet, // \pc, \pca, \mac
    DefaultFont,
    FontTable,
    ColorTable,
    SkippedDestination,
    // font and colour tables
    Charset,
    FontCodePage,
    Red,
    Green,
    Blue,
    // character format
    Plain,
    Font,
    FontSize,
    Color,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    // associated character format
    DoubleByteText,
    OtherText,
    AssociatedFont,
    AssociatedFontSize,
    AssociatedColor,
    AssociatedBold,
    AssociatedItalic,
    AssociatedUnderline,
    AssociatedUnderlineNone,
    AssociatedStrike,
    // text
    Paragraph,
    Section,
    Line,
    Tab,
    Cell,
    Row,
    Unicode,
    UnicodeSkip,
    Binary,
    Symbol, // a word that stands for one character
};

struct WordInfo {
    Word word;
    char16_t value = 0; // the character of a symbol, the code page of a character set
};

// What a control word means; Word::Unknown for a name the reader does not
// know.
const WordInfo& lookUp(std::string_view name);

} // namespace Rtf::Reading
