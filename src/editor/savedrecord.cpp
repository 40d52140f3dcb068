#include "editor/savedrecord.h"

#include "common/gbktextfile.h"

#include <QDir>
#include <QFileInfo>

namespace SavedRecord {

QString characterCount(const QString &plainText)
{
    return QString::number(GbkTextFile::toCrLf(plainText).size());
}

void fill(CurrentRecord &record, const QString &path, const QString &plainText)
{
    const QFileInfo info(path);
    record.recFileName = info.fileName();
    record.recSize = characterCount(plainText);
    record.recFolder = QDir::toNativeSeparators(info.absolutePath());
    if (!record.recFolder.endsWith(QDir::separator()))
        record.recFolder += QDir::separator();
    record.recSource = QStringLiteral("Notavo");
    record.recCategory = QStringLiteral("默认文本");
}

} // namespace SavedRecord
