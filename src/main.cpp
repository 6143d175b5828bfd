#include "system/Desktop.h"
#include "system/QtRuntime.h"
#include "window/Form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    Desktop::setUpBeforeApplication();
    QApplication application(argc, argv);
    setUpApplication();
    QtRuntime runtime;
    Form1 window(runtime);
    window.show();
    return QApplication::exec();
}
