#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

// How the settings file's values are read: whole numbers, options and fields.
namespace kit {

// The whole number a text holds: leading spaces, one sign, then decimal digits, or hexadecimal
// ones after "$", "x" or "0x" (either case), and nothing after the digits. Empty when the text
// holds no such number or it does not fit in 32 bits; hexadecimal runs up to FFFFFFFF, which
// reads as -1, as the design's converter reads it.
std::optional<int> textToInt(QStringView text);

// An option's stored value: a whole number, true when it is not 0; "0x" in front of a longer
// text counts as "$". Anything that is not a number leaves the option as it was (fallback).
bool textToBool(QStringView text, bool fallback);

// The text cut at every occurrence of the separator: an empty field between two separators
// stays, an empty last field is dropped; an empty separator gives the whole text.
QStringList splitString(QString text, const QString &separator);

} // namespace kit
