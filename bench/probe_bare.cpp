// A bare Qt window of the client's size, built by the same build, ending at its first frame.
// With "--widgets" it also holds the kinds of standard widgets the table window shows (a caption
// in Chinese, a list with headings, a text pane, a line edit and a combo box), set in the
// system's fonts: what any Qt window of that make-up pays at start-up.
#include "firstframe.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTableWidget>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWidget>
#include <cstring>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget w;
    if (argc > 1 && std::strcmp(argv[1], "--widgets") == 0) {
        auto* lay = new QVBoxLayout(&w);
        lay->addWidget(new QLabel(QStringLiteral("四人牌局 - 用户列表"), &w));
        auto* list = new QTableWidget(3, 4, &w);
        list->setHorizontalHeaderLabels({QStringLiteral("用户名"), QStringLiteral("积分"), QStringLiteral("级别"),
                                         QStringLiteral("状态")});
        list->setItem(0, 0, new QTableWidgetItem(QStringLiteral("玩家甲")));
        lay->addWidget(list);
        auto* pane = new QTextBrowser(&w);
        pane->setHtml(QStringLiteral("<p>欢迎来到牌桌！</p>"));
        lay->addWidget(pane);
        lay->addWidget(new QLineEdit(QStringLiteral("你好"), &w));
        auto* combo = new QComboBox(&w);
        combo->addItem(QStringLiteral("所有人"));
        lay->addWidget(combo);
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize s = screen ? screen->geometry().size() : QSize(1024, 768);
    w.move(0, 0);
    w.resize(s.width(), s.height() - 32);
    w.show();
    return app.exec();
}
