#include <QApplication>

#include <clocale>

#include "app/SpmApp.h"
#include "sp/core/spDispatch.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // The signal-processing library runs the column made for this processor from here on.
    spStaticInit();
    // Qt applies the user's locale; every number the program writes to a file uses ".".
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setOrganizationName("Local AppWizard-Generated Applications");
    QApplication::setApplicationName("Quintara");

    CSpmApp app;
    // At most one path: the file to open at start.
    const QStringList arguments = QApplication::arguments();
    const std::string path = arguments.size() > 1 ? arguments.at(1).toStdString() : std::string();
    if (!app.InitInstance(path))
        return 1;
    return QApplication::exec();
}
