#include "frame/kvrnmain.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <cstdio>

#include "frame/frmgamemain.h"
#include "launch/client.h"
#include "launch/commandline.h"
#include "launch/publicdefine.h"
#include "rules/gamedefine.h"

namespace {

// The item shop's state at start-up (its catalogue and the own items start empty).
void InitShopState(Client&) {}

int RefuseLaunch(int errorNo)
{
    const QString text = LaunchErrorText(errorNo);
    // Written before the box opens so the lobby's log shows why the client did not start.
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
    QMessageBox box(QMessageBox::Critical, kLaunchErrorTitle, text, QMessageBox::Ok);
    box.exec();
    return 1;
}

}  // namespace

int KvrnMain(int argc, char** argv)
{
    // The words are taken before the application object sees them: it would consume words that
    // look like its own options ("-style", "-reverse"...) and change the count.
    QStringList raw;
    for (int i = 0; i < argc; ++i) raw.append(QString::fromLocal8Bit(argv[i]));
    QApplication app(argc, argv);

    const QStringList args = SplitCommandLine(JoinedArguments(raw));
    if (const int err = CheckLaunchArgs(args)) return RefuseLaunch(err);

    Client client;
    StoreLaunchArgs(client.pub, args);
    InitPublicState(client);
    InitShopState(client);
    client.msgPool.InitMsgPool(client.pub.strParentPath);
    InitGameDefine(client.tbl);

    QPointer<frmGameMain> w = new frmGameMain(client);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
    w->setScreenSize(screenSize);
    w->Form_Load();
    w->move(0, 0);
    w->resize(screenSize.width(), screenSize.height() - 32);
    w->show();
    w->ConnectRoomServer();

    const int rc = app.exec();
    delete w.data();
    return rc;
}
