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

} // namespace kit
