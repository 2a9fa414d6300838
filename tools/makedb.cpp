// Writes the delivered stop database into the application folder, unless one
// is there already: a rebuild never overwrites a user's data.
#include "store/Database.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: stopwell-makedb <path of Zuvevadu.mdb>\n";
        return 2;
    }
    if (QFileInfo::exists(args.at(1)))
        return 0;
    store::Error error;
    if (!store::createDatabase(args.at(1), &error)) {
        QTextStream(stderr) << error.text() << '\n';
        return 1;
    }
    return 0;
}
