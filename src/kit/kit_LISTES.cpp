#include "kit_LISTES.h"

#include "kit_Dialogs.h"
#include "kit_Error.h"
#include "kit_SaveFile.h"
#include "kit_Text.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
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

kit::DecodedList readListFile(const QString &path)
{
    const kit::DecodedText decoded = readListText(path);
    kit::DecodedList list;
    list.encoding = decoded.encoding;
    list.entries.reserve(decoded.lines.size());
    for (const kit::LineSpan &line : decoded.lines)
        list.entries.append(decoded.text.mid(line.start, line.length));
    return list;
}

kit::DecodedText readListText(const QString &path)
{
    // Only a regular file is read: a FIFO would block the window, a device never end.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw kit::Error(
            QStringLiteral("Impossible d'ouvrir le fichier \"%1\". %2")
                .arg(path, QString::fromLocal8Bit(std::strerror(info.isDir() ? EISDIR : EINVAL))));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw kit::Error(QStringLiteral("Impossible d'ouvrir le fichier \"%1\". %2")
                             .arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw kit::Error(QStringLiteral("Impossible d'ouvrir le fichier \"%1\". %2")
                             .arg(path, file.errorString()));
    return kit::decodeListText(bytes);
}

void writeListFile(const QString &path, const QStringList &entries, kit::ListEncoding encoding)
{
    const kit::SaveResult result = kit::saveWholeFile(path, kit::encodeListFile(entries, encoding));
    if (!result.ok)
        throw kit::Error(QStringLiteral("Impossible de créer le fichier \"%1\". %2")
                             .arg(path, result.errorText));
}

} // namespace kit_LISTES
