#include "app/savedrecord.h"

#include "common/folderpath.h"
#include "common/gbktextfile.h"

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
    record.recFolder = FolderPath::withNativeTrailingSeparator(info.absolutePath());
    record.recSource = QStringLiteral("Notavo");
    record.recCategory = QStringLiteral("默认文本");
}

} // namespace SavedRecord
