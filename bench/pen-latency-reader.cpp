// The floor for pen-latency: a bare Qt program that shows each new clipboard text in a text box
// as QClipboard::dataChanged reports it, and marks it on standard error the way Notavo's pen
// trace does: "bare text-shown <ns>" with the monotonic clock.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPlainTextEdit>

#include <chrono>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QPlainTextEdit box;
    box.setWindowTitle(QStringLiteral("pen-latency reader"));
    box.resize(388, 333);
    box.show();
    QClipboard *clipboard = QGuiApplication::clipboard();
    QObject::connect(clipboard, &QClipboard::dataChanged, &box, [&] {
        const QMimeData *data = clipboard->mimeData();
        if (!data)
            return;
        box.setPlainText(data->text());
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        std::fprintf(stderr, "bare text-shown %lld\n",
                     static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        std::fflush(stderr);
    });
    return app.exec();
}
