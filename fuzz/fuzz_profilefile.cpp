// The settings file: read arbitrary bytes, write one key, and read it back; the other
// keys read as before.
#include "fuzzcheck.h"
#include "settings/profilefile.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("filePath.ini"));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    }
    const QString app = QStringLiteral("MyFileApp");
    const QString key = QStringLiteral("saveFilePATH");
    const QString otherSection = QStringLiteral("MyFileAotoRun");
    const QString otherKey = QStringLiteral("runFileName");
    ProfileFile file(path);
    const QString editor = file.read(app, QStringLiteral("editFilePATH"), QStringLiteral("d"));
    const QString other = file.read(otherSection, otherKey, QStringLiteral("d"));
    const QString value = QStringLiteral("/笔记/€ [x]=y");
    QString error;
    FUZZ_CHECK(file.write(app, key, value, &error));
    FUZZ_CHECK(file.read(app, key, QStringLiteral("d")) == value);
    FUZZ_CHECK(file.read(app, QStringLiteral("editFilePATH"), QStringLiteral("d")) == editor);
    FUZZ_CHECK(file.read(otherSection, otherKey, QStringLiteral("d")) == other);
    return 0;
}
