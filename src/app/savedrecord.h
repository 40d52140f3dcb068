#pragma once

#include "store/currentrecord.h"

#include <QString>

// The record that the editor's "文件另存(&A)" adds for a document saved under `path`: the name
// with its extension, the folder with its trailing native separator, the size in characters
// with a line break counting two, category "默认文本" and source "Notavo".
namespace SavedRecord {

QString characterCount(const QString &plainText);
void fill(CurrentRecord &record, const QString &path, const QString &plainText);

} // namespace SavedRecord
