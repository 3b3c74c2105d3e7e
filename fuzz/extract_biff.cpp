// Writes the BIFF stream of each .xls file given into a folder, named after the file with
// ".biff": the seeds of the BIFF fuzz target.
//   luftvaka-extract-biff OUTDIR FILE.xls...

#include "core/text/textfile.h"
#include "core/xls/ole.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTDIR FILE.xls...\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    int status = 0;
    for (int i = 2; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        const auto bytes = lv::text::readWholeFile(path);
        if (!bytes) {
            std::fprintf(stderr, "%s: %s\n", argv[i], bytes.error().message.toUtf8().constData());
            status = 1;
            continue;
        }
        const auto stream = lv::xls::ole::readWorkbookStream(*bytes);
        if (stream.status != lv::xls::ole::WorkbookStream::Status::Ok) {
            std::fprintf(stderr, "%s: no readable workbook stream\n", argv[i]);
            status = 1;
            continue;
        }
        const QString target =
            out.filePath(QFileInfo(path).completeBaseName() + QStringLiteral(".biff"));
        if (auto saved = lv::text::saveFileAtomically(target, stream.bytes); !saved) {
            std::fprintf(stderr, "%s: %s\n", argv[i], saved.error().message.toUtf8().constData());
            status = 1;
        }
    }
    return status;
}
