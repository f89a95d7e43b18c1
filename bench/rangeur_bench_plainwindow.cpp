// The reference for the first painted frame: a plain Qt window with the same controls and texts
// as the main window, the program's style sheet without its pictures and the same fonts set up
// the usual way; it ends the process as soon as its first frame has been handed to the display.
//   rangeur-bench-plainwindow STYLESHEET.qss
#include "ExitAfterFirstPaint.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdio>
#include <cstring>

namespace {

QFrame *panel(QWidget *parent)
{
    auto *frame = new QFrame(parent);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return frame;
}

QLabel *yellowLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("color: rgb(255, 255, 128);"));
    return label;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: rangeur-bench-plainwindow STYLESHEET.qss [--stay]\n");
        return 2;
    }
    QApplication app(argc, argv);
    QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    app.setFont(font);
    QFont bold = font;
    bold.setBold(true);
    QFile sheet(QString::fromLocal8Bit(argv[1]));
    if (!sheet.open(QIODevice::ReadOnly))
        return 2;
    app.setStyle(QStringLiteral("Fusion"));
    app.setStyleSheet(QString::fromUtf8(sheet.readAll())
                          .remove(QRegularExpression(QStringLiteral(R"(image:[^;]*;)"))));

    QWidget window;
    window.setWindowTitle(QStringLiteral("Création de dossier"));
    auto *tabs = new QTabWidget(&window);
    auto *sheet1 = new QWidget;
    tabs->addTab(sheet1, QStringLiteral("Saisie"));

    auto *group1 = new QGroupBox(
        QStringLiteral("DOSSIER: Entrez le nom du DOSSIER où ranger ces 3 fichiers"), sheet1);
    group1->setFont(bold);
    auto *image = new QLabel(group1);
    image->setFixedSize(32, 32);
    auto *name = new QComboBox(group1);
    name->setEditable(true);
    name->setFont(bold);
    auto *g1 = new QGridLayout(group1);
    g1->addWidget(image, 0, 0);
    g1->addWidget(name, 0, 1);
    g1->addWidget(yellowLabel(QStringLiteral("Si ce dossier n'existe pas, il sera créé"), group1),
                  1, 1);
    g1->addWidget(
        yellowLabel(QStringLiteral("L'ensemble des fichiers déposés, sera rangé dans ce dossier"),
                    group1),
        2, 1);

    auto *group2 =
        new QGroupBox(QStringLiteral("RACINE: Le dossier sera créé à cet endroit ..."), sheet1);
    group2->setFont(bold);
    auto *g2 = new QHBoxLayout(group2);
    g2->addWidget(new QLineEdit(QDir::homePath() + QStringLiteral("/Desktop/"), group2));
    auto *same = new QCheckBox(QStringLiteral("Même dossier"), group2);
    same->setChecked(true);
    g2->addWidget(same);

    auto *group3 = new QGroupBox(QStringLiteral("Options"), sheet1);
    group3->setFont(bold);
    auto *g3 = new QHBoxLayout(group3);
    QFrame *panel3 = panel(group3);
    auto *p3 = new QVBoxLayout(panel3);
    for (const QString &text :
         {QStringLiteral("Préfixer"), QStringLiteral("Ouvrir le dossier à la fin")}) {
        auto *box = new QCheckBox(text, panel3);
        box->setChecked(true);
        p3->addWidget(box);
    }
    QFrame *panel4 = panel(group3);
    auto *p4 = new QVBoxLayout(panel4);
    p4->addWidget(new QCheckBox(QStringLiteral("Confirmer chaque fichier"), panel4));
    auto *gauge = new QProgressBar(panel4);
    gauge->hide();
    p4->addWidget(gauge);
    g3->addWidget(panel3);
    g3->addWidget(panel4);

    auto *s1 = new QVBoxLayout(sheet1);
    s1->addWidget(group1);
    s1->addWidget(group2);
    s1->addWidget(group3);

    auto *sheet2 = new QWidget;
    tabs->addTab(sheet2, QStringLiteral("Derniers ..."));
    auto *s2 = new QVBoxLayout(sheet2);
    s2->addWidget(new QListWidget(sheet2));
    QFrame *panel2 = panel(sheet2);
    auto *p2 = new QVBoxLayout(panel2);
    p2->addWidget(yellowLabel(QStringLiteral("Double-Clic : Lance la copie"), panel2));
    p2->addWidget(yellowLabel(
        QStringLiteral("Clic dans la marge : extrait simplement les valeurs "), panel2));
    s2->addWidget(panel2);

    QFrame *panel1 = panel(&window);
    auto *p1 = new QHBoxLayout(panel1);
    p1->addWidget(new QPushButton(QStringLiteral("OK"), panel1));
    p1->addWidget(new QPushButton(QStringLiteral("Abandonner"), panel1));

    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(tabs);
    layout->addWidget(panel1);
    window.resize(371, 394);

    // --stay: the window stays up (bench/warm_memory.sh reads its memory later).
    ExitAfterFirstPaint watcher;
    if (argc < 3 || std::strcmp(argv[2], "--stay") != 0)
        window.installEventFilter(&watcher);
    window.show();
    return app.exec();
}
