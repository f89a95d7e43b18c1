#pragma once

#include <QString>

// Text rules that do not depend on the platform's locale.
namespace kit {

// Only a-z become A-Z; every other character, accented letters included, stays.
QString asciiUpper(QString text);
// Only A-Z become a-z.
QString asciiLower(QString text);
// Upper-cases each code point by its simple mapping, so that the length never changes
// (ß stays ß, é becomes É): what the folder-name box does to everything it holds.
QString simpleUpper(const QString &text);

// The error box ends a message with a full stop unless it already ends a sentence.
QString errorBoxText(const QString &message);

// A box shows its text wrapped at spaces only, so a long path ran past its right edge. Inside
// every run of more than `longestRun` characters without a space, a zero-width space is put
// between characters, where a line may then break; never inside a surrogate pair nor before a
// combining mark, so that no character is split from its accent.
QString wrappableAnywhere(const QString &text, qsizetype longestRun = 40);
// The zero-width space that wrappableAnywhere inserts.
inline constexpr char16_t wrapPoint = u'\u200B';

} // namespace kit
