// Opening a 5 MB GBK text file in the built-in editor until the window shows it, and saving
// it again, each against reading or writing the same bytes with the codec alone.
#include "common/gbkcodec.h"
#include "common/gbktextfile.h"
#include "editor/editorcontroller.h"
#include "editor/editorwindow.h"
#include "editor/documentwindow.h"
#include "editor/documenttextedit.h"
#include "platform/testing/fakeclock.h"
#include "platform/testing/scripteddialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 5;
constexpr qsizetype kFileBytes = 5 * 1024 * 1024;

QString sampleText()
{
    const QString line = QStringLiteral("第%1行：今天的天气很好，我们去公园散步，看见湖边的柳树已经发芽了。Notavo 2.0\n");
    QString text;
    for (int i = 0; Gbk::encode(text).size() < kFileBytes; i += 1000) {
        QString block;
        for (int j = 0; j < 1000; ++j)
            block += line.arg(i + j);
        text += block;
    }
    return text;
}

// The median time of `run`; `after` tidies up outside the timing.
double medianMs(const std::function<void()> &run, const std::function<void()> &after = [] {})
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(timer.nsecsElapsed() / 1e6);
        after();
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const bool save = argc > 1 && qstrcmp(argv[1], "save") == 0;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("大文件.txt"));
    const QString text = sampleText();
    if (!GbkTextFile::write(path, text))
        return 1;

    FakeClock clock;
    ScriptedDialogs dialogs;
    EditorController editor({clock, dialogs, {}});

    double codec = 0;
    double editorMs = 0;
    if (!save) {
        codec = medianMs([&] { GbkTextFile::read(path); });
        editorMs = medianMs(
            [&] {
                editor.openInEditor(path);
                editor.frame()->activeDocument()->textEdit()->viewport()->repaint();
            },
            [&] {
                editor.frame()->activeDocument()->parentWidget()->close();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            });
    } else {
        editor.openInEditor(path);
        DocumentWindow *window = editor.frame()->activeDocument();
        const QString copy = dir.filePath(QStringLiteral("codec.txt"));
        codec = medianMs([&] { GbkTextFile::write(copy, text); });
        editorMs = medianMs([&] {
            window->textEdit()->document()->setModified(true);
            window->save();
        });
        if (window->isModified() || !dialogs.messages.isEmpty())
            return 1;
    }
    const char *name = save ? "editor-save" : "editor-open";
    std::printf("%s: editor %.1f ms, codec %.1f ms\n", name, editorMs, codec);
    std::printf("%s: %.2fx codec (target %s)\n", name, editorMs / codec, save ? "<= 2x" : "<= 10x");
    return 0;
}
