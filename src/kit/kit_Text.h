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

// The error box appends a full stop to a message whose last character sorts after '.'.
QString errorBoxText(const QString &message);

} // namespace kit
