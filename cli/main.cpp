#include "cli/batch.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    return lv::cli::runCalculation(app.arguments().mid(1));
}
