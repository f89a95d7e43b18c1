// The real folder and file choosers, driven with the keyboard: French texts, columns that show
// their whole header and contents, and what each returns.
#include "FileHelpers.h"
#include "TestEnvironment.h"
#include "kit_Browse.h"
#include "kit_Language.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

namespace {

// What the test saw of the open chooser.
struct Seen {
    QString title;
    QStringList buttons;
    QString folderType;
    QStringList cutColumns;
};

QFileDialog *openChooser()
{
    return qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
}

// Looks at the open chooser once it lists `folder`'s entry `name`, then runs `act` on it.
void whenListed(const QString &folder, const QString &name, Seen &seen,
                const std::function<void(QFileDialog *)> &act)
{
    QTimer::singleShot(0, [=, &seen] {
        QFileDialog *dialog = nullptr;
        QTRY_VERIFY((dialog = openChooser()) && dialog->isVisible());
        auto *view = dialog->findChild<QTreeView *>(QStringLiteral("treeView"));
        QVERIFY(view);
        auto *model = qobject_cast<QFileSystemModel *>(view->model());
        QVERIFY(model);
        const QModelIndex entry = model->index(folder + '/' + name, 2);
        QTRY_VERIFY(entry.isValid() && !entry.data().toString().isEmpty());
        seen.title = dialog->windowTitle();
        for (QPushButton *b :
             dialog->findChild<QDialogButtonBox *>()->findChildren<QPushButton *>())
            seen.buttons << b->text().remove('&');
        seen.folderType =
            model->index(folder + QStringLiteral("/sous-dossier"), 2).data().toString();
        QHeaderView *header = view->header();
        QTRY_VERIFY(header->sectionSize(3) > 0);
        for (int c = 0; c < header->count(); ++c) {
            const int needed =
                std::max(header->sectionSizeHint(c),
                         static_cast<QAbstractItemView *>(view)->sizeHintForColumn(c));
            if (c > 0 && header->sectionSize(c) < needed)
                seen.cutColumns << model->headerData(c, Qt::Horizontal).toString();
        }
        if (header->sectionViewportPosition(3) + header->sectionSize(3) > view->viewport()->width())
            seen.cutColumns << QStringLiteral("beyond the view");
        act(dialog);
    });
}

} // namespace

class TestChoosers : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void filesChooser_data();
    void filesChooser();
    void folderChooser();
    void cleanupTestCase();

private:
    std::unique_ptr<TestHome> m_home;
};

void TestChoosers::initTestCase()
{
    kit_Language::installFrench(*qApp);
    m_home = std::make_unique<TestHome>();
    QDir(m_home->path()).mkpath(QStringLiteral("docs/sous-dossier"));
    makeFile(m_home->filePath("docs/facture janvier.pdf"), "a");
    makeFile(m_home->filePath("docs/relevé.txt"), "b");
}

void TestChoosers::filesChooser_data()
{
    QTest::addColumn<QString>("typed"); // then Enter; empty: Escape
    QTest::addColumn<QStringList>("chosen");
    QTest::newRow("two files") << R"("facture janvier.pdf" "relevé.txt")"
                               << QStringList{"facture janvier.pdf", "relevé.txt"};
    QTest::newRow("one file") << "relevé.txt" << QStringList{"relevé.txt"};
    QTest::newRow("cancelled") << "" << QStringList{};
}

void TestChoosers::filesChooser()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, chosen);
    const QString folder = m_home->filePath("docs");
    Seen seen;
    whenListed(folder, "relevé.txt", seen, [typed](QFileDialog *dialog) {
        if (typed.isEmpty()) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            return;
        }
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QTRY_VERIFY(name->hasFocus());
        typeText(dialog->windowHandle(), typed);
        QTest::keyClick(name, Qt::Key_Return);
    });
    const auto result = kit_Browse::ChooseFiles(nullptr, "Choisir les fichiers à ranger", folder);
    QCOMPARE(seen.title, QStringLiteral("Choisir les fichiers à ranger"));
    QVERIFY2(seen.buttons.contains("Ouvrir") && seen.buttons.contains("Annuler"),
             qPrintable(seen.buttons.join(", ")));
    QCOMPARE(seen.folderType, QStringLiteral("Dossier"));
    QVERIFY2(seen.cutColumns.isEmpty(), qPrintable("cut: " + seen.cutColumns.join(", ")));
    if (chosen.isEmpty()) {
        QVERIFY2(!result, "a cancelled chooser chooses nothing");
        return;
    }
    QVERIFY(result);
    QStringList expected;
    for (const QString &name : chosen)
        expected << folder + '/' + name;
    QCOMPARE(*result, expected);
}

void TestChoosers::folderChooser()
{
    const QString folder = m_home->filePath("docs");
    Seen seen;
    whenListed(folder, "sous-dossier", seen, [](QFileDialog *dialog) {
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QTRY_VERIFY(name->hasFocus());
        typeText(dialog->windowHandle(), "sous-dossier");
        QTest::keyClick(name, Qt::Key_Return);
    });
    const auto result = kit_Browse::BrowseForFolder(nullptr, "Choisir le dossier racine", folder);
    QCOMPARE(seen.folderType, QStringLiteral("Dossier"));
    QVERIFY2(seen.cutColumns.isEmpty(), qPrintable("cut: " + seen.cutColumns.join(", ")));
    QVERIFY2(seen.buttons.contains("Annuler"), qPrintable(seen.buttons.join(", ")));
    QVERIFY(result);
    QCOMPARE(*result, folder + QStringLiteral("/sous-dossier"));
}

// The choosers keep no state of their own on disk: the program writes only its three files.
void TestChoosers::cleanupTestCase()
{
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    QCOMPARE(QDir(config).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{});
    m_home.reset();
}

RANGEUR_TEST_MAIN(TestChoosers)
#include "tst_choosers.moc"
