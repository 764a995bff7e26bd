// The yardsticks of the start-up bench: a bare Qt window of the client's size, built by the same
// build and linking the same network module, that connects to HOST PORT and sends a hello as soon
// as the link is up. With "--widgets" the window also holds the kinds of standard widgets the
// table window shows (a list with headings, two text panes, a combo box, a line edit and a
// button), set in the system's fonts: what any Qt window of that make-up pays up to its hello.
//   kvrn-bare-probe [--widgets] HOST PORT
// Like the client it starts connecting before it shows its window.
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTcpSocket>
#include <QTextBrowser>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <cstring>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const bool widgets = argc > 1 && std::strcmp(argv[1], "--widgets") == 0;
    const int at = widgets ? 2 : 1;
    if (argc < at + 2) return 2;
    QWidget w;
    if (widgets) {
        auto* lay = new QVBoxLayout(&w);
        auto* list = new QTableWidget(4, 5, &w);
        list->setHorizontalHeaderLabels({QStringLiteral("用户名"), QStringLiteral("用户ID"), QStringLiteral("积分"),
                                         QStringLiteral("级别"), QStringLiteral("状态")});
        list->setItem(0, 0, new QTableWidgetItem(QStringLiteral("玩家甲")));
        list->setItem(0, 2, new QTableWidgetItem(QStringLiteral("100")));
        lay->addWidget(list);
        auto* advert = new QTextBrowser(&w);
        advert->setHtml(QStringLiteral("<h3>四人对战 伙伴同心</h3><p>和对家一起算分、炸弹、马队。</p>"));
        lay->addWidget(advert);
        auto* chat = new QTextEdit(&w);
        chat->setReadOnly(true);
        chat->append(QStringLiteral("欢迎来到牌桌！"));
        lay->addWidget(chat);
        auto* combo = new QComboBox(&w);
        combo->addItem(QStringLiteral("所有人"));
        lay->addWidget(combo);
        lay->addWidget(new QLineEdit(QStringLiteral("你好"), &w));
        lay->addWidget(new QPushButton(QStringLiteral("发送"), &w));
    }
    QTcpSocket link;
    QObject::connect(&link, &QTcpSocket::connected, [&] {
        link.write(QByteArrayLiteral("\x00\x06hello!"));
        link.flush();
    });
    link.connectToHost(QString::fromLocal8Bit(argv[at]), quint16(std::atoi(argv[at + 1])));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize s = screen ? screen->geometry().size() : QSize(1024, 768);
    w.move(0, 0);
    w.resize(s.width(), s.height() - 32);
    w.show();
    return app.exec();
}
