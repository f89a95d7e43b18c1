#include "kit_LISTES.h"

#include "kit_Dialogs.h"
#include "kit_Error.h"
#include "kit_SaveFile.h"
#include "kit_Text.h"

#include <QComboBox>
#include <QListWidget>
#include <cerrno>
#include <cstring>

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

bool AddToJvCombo(QComboBox *box, const QString &text, bool upperCase, bool announce)
{
    if (!text.isEmpty())
        box->setEditText(text);
    if (box->currentText().isEmpty())
        return false;
    try {
        const QString candidate =
            upperCase ? kit::asciiUpper(box->currentText()) : box->currentText();
        const QString wanted = kit::asciiUpper(candidate);
        bool found = false;
        for (int i = 0; i < box->count(); ++i) {
            if (kit::asciiUpper(box->itemText(i)) == wanted)
                found = true;
        }
        if (found)
            return false;
        box->addItem(candidate);
        if (announce)
            kit_Dialogs::ShowInformation(u'"' + candidate + QStringLiteral("\" ajouté à la liste"));
        return true;
    } catch (const std::exception &e) {
        kit_Dialogs::ShowPlainMessage(QStringLiteral("ERR:AddToJvCombo =>") + kit::errorMessage(e));
        return false;
    }
}

namespace {

QByteArray readListBytes(const QString &path)
{
    const kit::ReadResult read = kit::readWholeFile(path);
    if (!read.exists || !read.ok) {
        const QString reason =
            read.exists ? read.errorText : QString::fromLocal8Bit(std::strerror(ENOENT));
        throw kit::Error(
            QStringLiteral("Impossible d'ouvrir le fichier \"%1\". %2").arg(path, reason));
    }
    return read.data;
}

} // namespace

kit::DecodedList readListFile(const QString &path)
{
    return kit::decodeListFile(readListBytes(path));
}

kit::DecodedText readListText(const QString &path)
{
    return kit::decodeListText(readListBytes(path));
}

void writeListFile(const QString &path, const QStringList &entries, kit::ListEncoding encoding)
{
    const kit::SaveResult result =
        kit::saveWholeFileIfChanged(path, kit::encodeListFile(entries, encoding));
    if (!result.ok)
        throw kit::Error(QStringLiteral("Impossible de créer le fichier \"%1\". %2")
                             .arg(path, result.errorText));
}

} // namespace kit_LISTES
