// The start-up baseline: the least a Qt Widgets window with a line of text costs. It has the
// launcher's size and caption and shows one line in the default font.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QLabel window(QStringLiteral("A window with one line of text."));
    window.setWindowTitle(QStringLiteral("Didor AzodoVez"));
    window.setFixedSize(468, 381);
    window.show();
    return QApplication::exec();
}
