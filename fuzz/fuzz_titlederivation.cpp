// Title derivation and the portable-name check: a title is never empty, never cuts a
// character in two, and a title judged portable names a file inside its folder.
#include "capture/portablefilename.h"
#include "capture/titlederivation.h"
#include "fuzzcheck.h"

#include <QDir>
#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const QTime now(0, data[0] % 60, data[1] % 60);
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    const QString title = TitleDerivation::titleFor(text, now);
    FUZZ_CHECK(!title.isEmpty());
    FUZZ_CHECK(title.isValidUtf16());
    FUZZ_CHECK(title.size() <= 15 || title.endsWith(QStringLiteral(".....")));
    for (const QString &name : {title, text}) {
        if (!isPortableFileName(name))
            continue;
        FUZZ_CHECK(!name.contains(u'/') && !name.contains(u'\\') && !name.contains(QChar(0)));
        const QString folder = QStringLiteral("/save/folder");
        FUZZ_CHECK(QFileInfo(folder + u'/' + name + QStringLiteral(".txt")).absolutePath() == folder);
    }
    return 0;
}
