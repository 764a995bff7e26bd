// A bare Qt window of the client's size, built by the same build, ending at its first frame.
#include "firstframe.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget w;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize s = screen ? screen->geometry().size() : QSize(1024, 768);
    w.move(0, 0);
    w.resize(s.width(), s.height() - 32);
    w.show();
    return app.exec();
}
