// Opens the input window on a real patent, runs the check, picks the first unsupported word and saves a picture
// of each window. Usage: claimcheck_screenshots OUTPUT_FOLDER
#include "input/merovin.h"
#include "results/trevask.h"
#include "results/word_list.h"
#include "ui/pumped_pause.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

#include <cstdio>

namespace {

QString readCorpus(const char* name) {
    QFile file(QStringLiteral(CLAIMCHECK_CORPUS_DIR "/") + QString::fromLatin1(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool save(QWidget& window, const QDir& folder, const char* name) {
    window.raise();
    window.activateWindow();
    claimcheck::pumpedPause(0.5);
    const QString path = folder.filePath(QString::fromLatin1(name));
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("claimcheck"));
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral(".")))
        return 1;

    claimcheck::merovin input;
    input.show();
    input.RichTextBox1->setPlainText(readCorpus("US3937375.claims.txt"));
    input.RichTextBox2->setPlainText(readCorpus("US3937375.description.txt"));
    input.Text1->setText(QStringLiteral("US3937375"));
    bool ok = save(input, folder, "input-window.png");

    input.Command1->click();
    claimcheck::trevask* results = input.results().window();
    if (results->List3->count() > 0) {
        results->List3->setFocus();
        results->List3->setSelectedPosition(0);
        results->List3_Click();
    }
    ok = save(*results, folder, "results-window.png") && ok;
    return ok ? 0 : 1;
}
