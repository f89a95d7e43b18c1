#pragma once

#include "kit_ListFile.h"

#include <QString>

class QComboBox;
class QListWidget;

// Helpers for the window's lists.
namespace kit_LISTES {

// True when an entry of the list equals the text once both are upper-cased by the ASCII rule;
// nothing is trimmed, so "/a/" and "/a" differ.
bool IsInList(const QString &text, const QListWidget *list);

// Adds the box's text (the given text first put into the box when it is not empty) to the box's
// list unless an entry equals it by the ASCII rule; upperCase adds it ASCII-upper-cased,
// announce reports the addition in an information box. True when an entry was added. Errors
// are shown in a plain box and give false.
bool AddToJvCombo(QComboBox *box, const QString &text, bool upperCase, bool announce);

// A whole list file read, or written in the given encoding. Raise kit::Error with the user's
// message and the system's reason when the file cannot be opened or created.
kit::DecodedList readListFile(const QString &path);
kit::DecodedText readListText(const QString &path);
void writeListFile(const QString &path, const QStringList &entries, kit::ListEncoding encoding);

} // namespace kit_LISTES
