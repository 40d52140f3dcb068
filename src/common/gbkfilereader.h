#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Reads a GBK text file piece by piece, each piece decoded at whole characters, so that a file
// of any size is read in bounded memory. Line breaks come back as the file holds them.
class GbkFileReader final
{
public:
    // Bytes read from the file per piece.
    static constexpr qint64 kPieceBytes = qint64(1) << 20;

    explicit GbkFileReader(const QString &path);
    Q_DISABLE_COPY_MOVE(GbkFileReader)

    // False, with errorString() saying why, when the file cannot be opened for reading.
    bool open();
    bool atEnd() const { return m_atEnd; }
    // The next piece of text; empty at the end, or after a read error (hasError()).
    QString readPiece();
    bool hasError() const { return m_error; }
    QString errorString() const { return m_file.errorString(); }

private:
    QFile m_file;
    // Bytes of a character cut at the end of the last piece read.
    QByteArray m_carry;
    bool m_atEnd = false;
    bool m_error = false;
};
