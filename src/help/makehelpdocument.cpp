// Build tool: turns the UTF-8 help document of the sources into the GBK, CR LF file that ships
// beside the program.
#include "common/gbktextfile.h"

#include <QFile>
#include <QString>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <utf-8 source> <gbk target>\n", argv[0]);
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QString text = GbkTextFile::fromCrLf(QString::fromUtf8(source.readAll()));
    QString error;
    if (!GbkTextFile::write(QString::fromLocal8Bit(argv[2]), text, &error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[2], qPrintable(error));
        return 1;
    }
    return 0;
}
