#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream(stderr) << "usage: luftvaka-batch --dump FILE.xls [--sheet NAME|N]\n";
    return 2;
}
