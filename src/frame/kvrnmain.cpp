#include "frame/kvrnmain.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <cstdio>

#include "frame/frmgamemain.h"
#include "launch/client.h"
#include "launch/commandline.h"
#include "launch/publicdefine.h"
#include "platform/draw/gamefont.h"
#include "rules/gamedefine.h"
#include "shop/daojumaket.h"

namespace {

// The item shop's state at start-up (its catalogue and the own items start empty).
void InitShopState(Client& c) { InitDaoJuMaket(c.daoJu); }

int RefuseLaunch(int errorNo)
{
    const QString text = LaunchErrorText(errorNo);
    // Written before the box opens so the lobby's log shows why the client did not start.
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
    QMessageBox box(QMessageBox::Critical, kLaunchErrorTitle, text, QMessageBox::Ok);
    box.exec();
    return EXIT_LAUNCH_REFUSED;
}

}  // namespace

bool LoadToolkitTranslations(QCoreApplication& app)
{
    auto* t = new QTranslator(&app);
    if (!t->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(t)) {
        delete t;
        return false;
    }
    return true;
}

int KvrnMain(int argc, char** argv)
{
    // The words are taken before the application object exists, and the toolkit is given the
    // program name only: every launch word is the lobby's (the user's own name among them), and
    // a word the toolkit took for one of its options ("-platform", "-stylesheet", "-reverse"...)
    // would change the count, restyle the window or stop the program before it starts.
    QStringList raw;
    for (int i = 0; i < argc; ++i) raw.append(QString::fromLocal8Bit(argv[i]));
    int toolkitArgc = argc > 0 ? 1 : 0;
    char* toolkitArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    // The screen's own scale, fractional ones as they are: the table and the frame are drawn at
    // the device pixels it gives, so nothing is scaled up after drawing.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    QApplication app(toolkitArgc, toolkitArgv);
    LoadToolkitTranslations(app);
    SubstituteGameFaces();

    const QStringList args = SplitCommandLine(JoinedArguments(raw));
    if (const int err = CheckLaunchArgs(args)) return RefuseLaunch(err);

    Client client;
    StoreLaunchArgs(client.pub, args);
    InitPublicState(client);
    InitShopState(client);
    client.msgPool.InitMsgPool(client.pub.strParentPath);
    InitGameDefine(client.tbl);
    InitTableView(client.tv);

    QPointer<frmGameMain> w = new frmGameMain(client);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
    w->setScreenSize(screenSize);
    w->setEndPausesOnUnload(true);
    // The hello goes out before the window is loaded and drawn: connecting first, loading and
    // showing the window once the hello is sent.
    w->ConnectAtStart();
    w->ShowAtStartAfterHello(screenSize);

    const int rc = app.exec();
    delete w.data();
    return rc;
}
