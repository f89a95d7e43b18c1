#include "kit_Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kit_Language {

namespace {

// Qt 6 moved the file type names to a context that its French catalogue does not have yet, so
// the choosers said "Folder" in a French window. A table answers for that context alone.
class MissingTexts final : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        static const struct {
            const char *english;
            const char *french;
        } texts[] = {
            {"Drive", "Lecteur"},
            {"Folder", "Dossier"},
            {"Shortcut", "Raccourci"},
            {"Unknown", "Inconnu"},
        };
        for (const auto &text : texts) {
            if (qstrcmp(sourceText, text.english) == 0)
                return QString::fromUtf8(text.french);
        }
        return {};
    }
};

} // namespace

void installFrench(QCoreApplication &app)
{
    const QString marker = QStringLiteral("kit_Language.MissingTexts");
    if (app.findChild<QTranslator *>(marker, Qt::FindDirectChildrenOnly))
        return;
    const QLocale french(QLocale::French, QLocale::France);
    QLocale::setDefault(french);
    auto *catalogue = new QTranslator(&app);
    if (catalogue->load(french, QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(catalogue);
    auto *missing = new MissingTexts(&app);
    missing->setObjectName(marker);
    app.installTranslator(missing);
}

} // namespace kit_Language
