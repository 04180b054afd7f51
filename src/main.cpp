#include "app/CViewerApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    CViewerApp viewer(QApplication::arguments());
    return viewer.InitInstance();
}
