#include "kit_LISTES.h"

#include "kit_Text.h"

#include <QListWidget>

namespace kit_LISTES {

bool IsInList(const QString &text, const QListWidget *list)
{
    const QString wanted = kit::asciiUpper(text);
    for (int i = 0; i < list->count(); ++i) {
        if (kit::asciiUpper(list->item(i)->text()) == wanted)
            return true;
    }
    return false;
}

} // namespace kit_LISTES
