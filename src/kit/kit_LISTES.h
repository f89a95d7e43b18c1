#pragma once

#include <QString>

class QListWidget;

// Helpers for the window's lists.
namespace kit_LISTES {

// True when an entry of the list equals the text once both are upper-cased by the ASCII rule;
// nothing is trimmed, so "/a/" and "/a" differ.
bool IsInList(const QString &text, const QListWidget *list);

} // namespace kit_LISTES
