#include "MainWindow.h"
#include "UQuickBackend.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    UQuickBackend::chooseForThisMachine();
    int result = 0;
    {
        MainWindow window;
        window.setApplication(&application);
        window.show();
        result = application.exec();
    }
    return result;
}
