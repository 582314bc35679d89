#pragma once
// Reading back the PDF files that printing tests write, with poppler's tools.
#include <QProcess>
#include <QString>
#include <QStringList>

// The page count that pdfinfo reports, -1 when it cannot read the file.
inline int PdfPageCount(const QString& path)
{
    QProcess p;
    p.start("pdfinfo", {path});
    p.waitForFinished();
    for (const QString& line : QString::fromLatin1(p.readAllStandardOutput()).split('\n'))
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    return -1;
}
