#include "kit_Undo.h"

#include "kit_Paths.h"
#include "kit_Platform.h"
#include "kit_TrashInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSet>

namespace kit_Undo {

namespace {

using kit::JournalIdentity;
using kit::RunSummary;
using Kind = kit::JournalRecord::Kind;

// How many files not put back the report's text names; the rest are in its details.
constexpr int kNamedInText = 10;

bool sameFile(const std::optional<kit_FILE::FileIdentity> &at, const JournalIdentity &id)
{
    return at && at->device == id.device && at->inode == id.inode;
}

bool sameVersion(const std::optional<kit_FILE::FileIdentity> &at, const JournalIdentity &id)
{
    const bool changeKnown = id.changedSeconds != 0 || id.changedNanoseconds != 0;
    return sameFile(at, id) && at->size == id.size && at->modifiedSeconds == id.modifiedSeconds &&
           at->modifiedNanoseconds == id.modifiedNanoseconds &&
           (!changeKnown || (at->changedSeconds == id.changedSeconds &&
                             at->changedNanoseconds == id.changedNanoseconds));
}

// Between a trash folder and the name of one of its entries.
const QString kFiles = QStringLiteral("/files/");

// The entries of the trash folders, by the original path their info files give. Each folder is
// read once, when a path first needs it.
class TrashIndex {
public:
    struct Entry {
        QString folder;
        QString name;
        QString filePath() const { return folder + kFiles + name; }
        // The entry at a path filePath() gave.
        static std::optional<Entry> at(const QString &filePath)
        {
            const qsizetype files = filePath.lastIndexOf(kFiles);
            if (files <= 0)
                return std::nullopt;
            return Entry{filePath.left(files), filePath.mid(files + kFiles.size())};
        }
        QString infoPath() const
        {
            return folder + QStringLiteral("/info/") + name + QStringLiteral(".trashinfo");
        }
    };

    // The entry trashed from the path that is the file (device and inode: a move to the trash
    // on one file system keeps them). Where the run wrote down the entry it made, that entry is
    // looked at first, and the trash is read only when it is not that file.
    std::optional<Entry> find(const QString &original, const JournalIdentity &id,
                              const QString &known = {})
    {
        if (const std::optional<Entry> entry = Entry::at(known);
            entry && sameFile(kit_Platform::identityAt(known), id))
            return entry;
        for (const Entry &entry : entriesFor(original)) {
            if (sameFile(kit_Platform::identityAt(entry.filePath()), id))
                return entry;
        }
        return std::nullopt;
    }

    void forget(const Entry &gone)
    {
        for (auto &byPath : m_entries) {
            for (auto &list : byPath) {
                list.removeIf(
                    [&](const Entry &e) { return e.folder == gone.folder && e.name == gone.name; });
            }
        }
    }

    // Info files left without their entry for a file that is back in place: by an undo that
    // ended between the two steps of a restore, or by a trash that was killed after it made the
    // info file and before it moved the file (an empty one, named after the file). They describe
    // nothing, and trash clients would list them.
    void dropDescriptionsWithoutEntry(const QString &original)
    {
        for (const Entry &entry : entriesFor(original)) {
            if (!kit_Platform::identityAt(entry.filePath()) &&
                kit_Platform::removeFile(entry.infoPath()))
                forget(entry);
        }
        const QString name = kit::fileNamePart(original, kit::nativePathStyle);
        const QString folder = kit::folderPart(original, kit::nativePathStyle);
        for (const kit_Platform::TrashFolder &trash : m_foldersFor.value(folder)) {
            const QDir info(trash.folder + QStringLiteral("/info"));
            for (const QString &infoName :
                 info.entryList({QStringLiteral("*.trashinfo")}, QDir::Files | QDir::Hidden)) {
                const QString entryName = infoName.chopped(int(qstrlen(".trashinfo")));
                const bool namedAfter = entryName == name || entryName.startsWith(name + u'.') ||
                                        entryName.startsWith(name + u' ');
                if (namedAfter && QFileInfo(info.filePath(infoName)).size() == 0 &&
                    !kit_Platform::identityAt(Entry{trash.folder, entryName}.filePath()))
                    kit_Platform::removeFile(info.filePath(infoName));
            }
        }
    }

private:
    QList<Entry> entriesFor(const QString &original)
    {
        const QString folder = kit::folderPart(original, kit::nativePathStyle);
        if (!m_foldersFor.contains(folder))
            m_foldersFor.insert(folder, kit_Platform::trashFoldersFor(original));
        const QByteArray key = QFile::encodeName(original);
        QList<Entry> found;
        for (const kit_Platform::TrashFolder &trash : m_foldersFor.value(folder)) {
            if (!m_entries.contains(trash.folder))
                read(trash);
            found += m_entries[trash.folder].value(key);
        }
        return found;
    }

    void read(const kit_Platform::TrashFolder &trash)
    {
        QHash<QByteArray, QList<Entry>> &byPath = m_entries[trash.folder];
        const QDir info(trash.folder + QStringLiteral("/info"));
        const QByteArray top = QFile::encodeName(trash.top);
        const QString suffix = QStringLiteral(".trashinfo");
        for (const QString &name : info.entryList({QStringLiteral("*.trashinfo")},
                                                  QDir::Files | QDir::Hidden | QDir::System)) {
            QFile file(info.filePath(name));
            // An info file is a few lines; a large one is not read whole.
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const std::optional<QByteArray> path =
                kit::trashInfoOriginalPath(file.read(64 * 1024), top);
            if (path)
                byPath[*path].append({trash.folder, name.chopped(suffix.size())});
        }
    }

    QHash<QString, QList<kit_Platform::TrashFolder>> m_foldersFor;
    QHash<QString, QHash<QByteArray, QList<Entry>>> m_entries;
};

enum class Back { Done, NotFound, NameTaken, Failed };

// Puts a trashed entry back at its original path, never over what is there now.
Back bringBack(TrashIndex &trash, const QString &original, const JournalIdentity &id,
               const QString &known = {})
{
    const std::optional<TrashIndex::Entry> entry = trash.find(original, id, known);
    if (!entry)
        return Back::NotFound;
    switch (kit_Platform::moveBackTo(entry->filePath(), original)) {
    case kit_Platform::Restore::Done:
        break;
    case kit_Platform::Restore::NameTaken:
        return Back::NameTaken;
    case kit_Platform::Restore::Failed:
        return Back::Failed;
    }
    // The entry first, then its description: an undo ended between the two leaves a
    // description that the next one removes, never an entry that no trash client can show.
    kit_Platform::removeFile(entry->infoPath());
    trash.forget(*entry);
    return Back::Done;
}

QString whyNotBack(Back back)
{
    switch (back) {
    case Back::NotFound:
        return QStringLiteral("introuvable dans la corbeille");
    case Back::NameTaken:
        return QStringLiteral("un autre fichier porte maintenant son nom ; il reste dans la "
                              "corbeille");
    case Back::Failed:
    case Back::Done:
        break;
    }
    return QStringLiteral("impossible de le remettre en place ; il reste dans la corbeille");
}

class Undoer {
public:
    explicit Undoer(Pending &pending) : m_pending(pending) {}

    Report run()
    {
        RunSummary &run = m_pending.run;
        for (qsizetype i = run.files.size() - 1; i >= 0; --i) {
            RunSummary::File &file = run.files[i];
            if (file.undone)
                continue;
            undoFile(file);
            kit::JournalRecord done;
            done.kind = Kind::Undone;
            done.file = file.number;
            note(kit_Journal::append(m_pending.journal, done));
            file.undone = true;
        }
        for (qsizetype i = run.folders.size() - 1; i >= 0; --i)
            removeFolder(run.folders[i]);
        if (run.damagedLine > 0)
            m_report.notes << QStringLiteral(
                                  "Le journal de ce rangement est endommagé (ligne %1) : "
                                  "ce qu'il disait au-delà n'a pas pu être annulé.")
                                  .arg(run.damagedLine);
        kit::JournalRecord finished;
        finished.kind = Kind::Finished;
        note(kit_Journal::append(m_pending.journal, finished));
        if (m_progressLost)
            m_report.notes << QStringLiteral(
                                  "Impossible d'écrire dans %1 : une nouvelle annulation "
                                  "reprendrait ce rangement.")
                                  .arg(m_pending.journal.path);
        return m_report;
    }

private:
    void note(bool written)
    {
        if (!written)
            m_progressLost = true;
    }

    void refuse(const QString &path, const QString &why)
    {
        m_report.notPutBack << path + QStringLiteral(" : ") + why;
    }

    // True when the source is where it was before the run, whether it came back now or never
    // left (a run ended before its trash, or an undo ended after its restore).
    bool sourceBack(const RunSummary::File &file)
    {
        const std::optional<kit_FILE::FileIdentity> there = kit_Platform::identityAt(file.source);
        if (!file.trashing) {
            // Never trashed: the file read is there, or a link to it. A run ended once the trash
            // had described the file, before the step was written down, left that description.
            const bool inPlace = sameFile(there, file.read) ||
                                 sameFile(kit_Platform::identityAt(file.source, true), file.read);
            if (inPlace)
                m_trash.dropDescriptionsWithoutEntry(file.source);
            return inPlace;
        }
        if (sameFile(there, file.trashed)) {
            m_trash.dropDescriptionsWithoutEntry(file.source);
            return true;
        }
        const Back back = there ? Back::NameTaken
                                : bringBack(m_trash, file.source, file.trashed, file.trashEntry);
        if (back == Back::Done)
            return true;
        // Told apart from a name taken: the original is nowhere to be seen.
        if (back == Back::NameTaken && !m_trash.find(file.source, file.trashed, file.trashEntry))
            refuse(file.source, whyNotBack(Back::NotFound));
        else
            refuse(file.source, whyNotBack(back));
        return false;
    }

    void undoFile(const RunSummary::File &file)
    {
        const bool back = sourceBack(file);
        // A file whose source never left (a run ended before its trash) is not counted as put
        // back; its copy goes all the same.
        if (back && file.trashing)
            ++m_report.putBack;

        // The copy goes only while it is exactly what the run made, and only once the original
        // is back: otherwise it may be the last version of the file there is.
        const std::optional<kit_FILE::FileIdentity> atDestination =
            kit_Platform::identityAt(file.destination);
        const bool ours = sameFile(atDestination, file.copy);
        const bool wasReplaced = std::any_of(
            file.replaced.cbegin(), file.replaced.cend(),
            [&](const RunSummary::Replaced &r) { return sameFile(atDestination, r.identity); });
        if (ours && !sameVersion(atDestination, file.copy)) {
            refuse(file.destination,
                   QStringLiteral("la copie a été modifiée depuis le rangement ; elle est gardée"));
        } else if (ours && back) {
            if (!kit_Platform::removeIfUnchanged(file.destination,
                                                 kit_Journal::fromJournal(file.copy)))
                refuse(file.destination, QStringLiteral("la copie n'a pas pu être retirée"));
        } else if (ours && file.trashing) {
            // The original was reported above; its copy stays as the file's only version in place.
        } else if (ours) {
            refuse(
                file.source,
                QStringLiteral("l'original a changé depuis le rangement ; sa copie %1 est gardée")
                    .arg(file.destination));
        } else if (atDestination && file.trashing && !wasReplaced) {
            // The copy was published (its source went to the trash after): another file holds
            // its name now, an edited version saved under it, kept as the user's.
            refuse(file.destination,
                   QStringLiteral("la copie a été remplacée depuis le rangement ; le fichier est "
                                  "gardé"));
        }

        // Then what the copy replaced, the last replaced first.
        for (qsizetype i = file.replaced.size() - 1; i >= 0; --i) {
            const RunSummary::Replaced &replaced = file.replaced[i];
            const std::optional<kit_FILE::FileIdentity> there =
                kit_Platform::identityAt(replaced.path);
            if (sameFile(there, replaced.identity))
                continue;
            const Back returned =
                there ? Back::NameTaken : bringBack(m_trash, replaced.path, replaced.identity);
            if (returned != Back::Done) {
                if (returned == Back::NameTaken && !m_trash.find(replaced.path, replaced.identity))
                    refuse(replaced.path,
                           QStringLiteral("le fichier remplacé est ") + whyNotBack(Back::NotFound));
                else
                    refuse(replaced.path,
                           QStringLiteral("le fichier remplacé : ") + whyNotBack(returned));
            }
        }
    }

    void removeFolder(const RunSummary::Folder &folder)
    {
        const std::optional<kit_FILE::FileIdentity> there = kit_Platform::identityAt(folder.path);
        if (!sameFile(there, folder.identity))
            return; // gone, or another folder now: not the run's to remove
        if (kit_Platform::removeEmptyFolder(folder.path, kit_Journal::fromJournal(folder.identity)))
            m_report.foldersRemoved << folder.path;
        else
            m_report.notes
                << QStringLiteral("Le dossier %1 est gardé : il n'est pas vide.").arg(folder.path);
    }

    Pending &m_pending;
    TrashIndex m_trash;
    Report m_report;
    bool m_progressLost = false;
};

} // namespace

Search findLastRun()
{
    Search search;
    for (const QString &path : kit_Journal::journalPaths()) {
        kit_Journal::OpenedJournal journal = kit_Journal::openForUndo(path);
        search.path = path;
        switch (journal.state) {
        case kit_Journal::OpenedJournal::State::Busy:
            search.outcome = Search::Outcome::Busy;
            return search;
        case kit_Journal::OpenedJournal::State::Unreadable:
            search.outcome = Search::Outcome::Unreadable;
            search.problem = journal.problem;
            journal.file.reset();
            kit_Journal::setAside(path);
            return search;
        case kit_Journal::OpenedJournal::State::Ready:
            break;
        }
        std::optional<RunSummary> run = kit::summariseRun(journal.reading);
        if (!run) {
            search.outcome = Search::Outcome::Unreadable;
            search.problem = QStringLiteral("le début du journal est endommagé");
            journal.file.reset();
            kit_Journal::setAside(path);
            return search;
        }
        if (run->finished)
            continue;
        search.outcome = Search::Outcome::Found;
        search.pending = Pending{std::move(journal), std::move(*run)};
        return search;
    }
    search.path.clear();
    search.outcome = Search::Outcome::Nothing;
    return search;
}

QString question(const RunSummary &run)
{
    const QDateTime started = run.started.toLocalTime();
    QSet<QString> sourceFolders;
    int files = 0;
    int replaced = 0;
    for (const RunSummary::File &file : run.files) {
        if (file.undone)
            continue;
        replaced += int(file.replaced.size());
        if (!file.trashing)
            continue;
        ++files;
        sourceFolders.insert(kit::folderPart(file.source, kit::nativePathStyle));
    }
    QString text = QStringLiteral("Annuler le rangement du %1 à %2 ?\n\n")
                       .arg(started.toString(QStringLiteral("dd/MM/yyyy")),
                            started.toString(QStringLiteral("HH:mm")));
    if (files == 0)
        text += QStringLiteral("Aucun fichier à remettre en place");
    else if (sourceFolders.size() == 1)
        text +=
            QStringLiteral("%1 fichier(s) remis dans %2").arg(files).arg(*sourceFolders.begin());
    else
        text += QStringLiteral("%1 fichier(s) remis à leur place, dans %2 dossiers")
                    .arg(files)
                    .arg(sourceFolders.size());
    if (replaced > 0)
        text += QStringLiteral("\n%1 fichier(s) remplacé(s) remis dans %2")
                    .arg(replaced)
                    .arg(run.target);
    text += QStringLiteral("\nLeurs copies retirées de %1").arg(run.target);
    if (!run.folders.isEmpty())
        text += QStringLiteral("\nDossier %1 retiré s'il est vide")
                    .arg(kit::fileNamePart(kit::withoutTrailingSeparator(run.folders.last().path,
                                                                         kit::nativePathStyle),
                                           kit::nativePathStyle));
    return text;
}

Report undo(Pending &pending)
{
    return Undoer(pending).run();
}

QString reportText(const Report &report)
{
    QString text = QStringLiteral("%1 fichier(s) remis en place.").arg(report.putBack);
    for (const QString &folder : report.foldersRemoved)
        text += QStringLiteral("\nDossier %1 retiré.").arg(folder);
    if (!report.notPutBack.isEmpty()) {
        text += QStringLiteral("\n\nNon remis en place :");
        for (qsizetype i = 0; i < report.notPutBack.size() && i < kNamedInText; ++i)
            text += u'\n' + report.notPutBack[i];
        if (report.notPutBack.size() > kNamedInText)
            text += QStringLiteral("\n… et %1 autre(s) : voir les détails.")
                        .arg(report.notPutBack.size() - kNamedInText);
    }
    for (const QString &note : report.notes)
        text += QStringLiteral("\n\n") + note;
    return text;
}

QString reportDetails(const Report &report)
{
    if (report.notPutBack.size() <= kNamedInText)
        return {};
    return report.notPutBack.join(u'\n');
}

} // namespace kit_Undo
