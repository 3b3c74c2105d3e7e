// Writes the BIFF stream of each .xls file given into a folder, named after the file with
// ".biff": the seeds of the BIFF fuzz target.
//   luftvaka-extract-biff OUTDIR FILE.xls...

#include "core/text/textfile.h"
#include "core/xls/ole.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

// Why the stream of one file could not be written, or an empty text.
static QString extract(const QString &path, const QDir &out)
{
    const auto bytes = lv::text::readWholeFile(path);
    if (!bytes)
        return bytes.error().message;
    const auto stream = lv::xls::ole::readWorkbookStream(*bytes);
    if (stream.status != lv::xls::ole::WorkbookStream::Status::Ok)
        return QStringLiteral("no readable workbook stream");
    const QString target = out.filePath(QFileInfo(path).completeBaseName() + ".biff");
    const auto saved = lv::text::saveFileAtomically(target, stream.bytes);
    return saved ? QString() : saved.error().message;
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTDIR FILE.xls...\n", argv[0]);
        return 2;
    }
    int status = 0;
    for (int i = 2; i < argc; ++i) {
        const QString why =
            extract(QString::fromLocal8Bit(argv[i]), QDir(QString::fromLocal8Bit(argv[1])));
        if (!why.isEmpty()) {
            std::fprintf(stderr, "%s: %s\n", argv[i], why.toUtf8().constData());
            status = 1;
        }
    }
    return status;
}
