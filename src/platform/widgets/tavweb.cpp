#include "tavweb.h"

#include <QEvent>
#include <QFileInfo>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace {
// Pages are small local files; anything bigger is not a page we made.
constexpr qint64 kMaxPageBytes = 1024 * 1024;

// A QTextBrowser that never reaches past the local disk: resources of a page (pictures,
// style sheets) load only from files, never from a network address.
class LocalBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int type, const QUrl& name) override {
        if (!name.isLocalFile() && !name.isRelative()) return QVariant();
        return QTextBrowser::loadResource(type, name);
    }
};
}

TavWeb::TavWeb(QWidget* parent) : QWidget(parent) {
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    m_view = new LocalBrowser(this);
    m_view->setOpenLinks(false);
    m_view->setOpenExternalLinks(false);
    m_view->setReadOnly(true);
    lay->addWidget(m_view);
    // The page covers the pane: its first paint is the page area's.
    m_view->viewport()->installEventFilter(this);
}

void TavWeb::setMode(int mode) {
    m_mode = mode;
    const bool bare = mode != 0;
    m_view->setFrameShape(bare ? QFrame::NoFrame : QFrame::StyledPanel);
    m_view->setVerticalScrollBarPolicy(bare ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    m_view->setHorizontalScrollBarPolicy(bare ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
}

QString TavWeb::placeholderHtml() {
    return QStringLiteral(
        "<html><body style=\"background-color:#f4f8fc;\"><p style=\"font-size:12pt;\">&nbsp;</p>"
        "<p align=\"center\" style=\"color:#296da5; font-size:15pt; font-weight:bold;\">"
        "四人同心 齐心协力</p>"
        "<p align=\"center\" style=\"color:#404040; font-size:10pt;\">邀上好友，结伴对家，一起赢下每一墩！</p>"
        "<p align=\"center\" style=\"color:#808080; font-size:9pt;\">文明游戏 · 健康娱乐</p>"
        "</body></html>");
}

void TavWeb::Navigate(const QString& urlOrPath) {
    m_address = urlOrPath;
    m_target.clear();
    QString file;
    const QUrl url(urlOrPath);
    if (url.isLocalFile()) file = url.toLocalFile();
    else if (url.scheme().isEmpty() || (url.scheme().size() == 1 && urlOrPath.size() > 2))
        file = urlOrPath;   // a plain path (a one-letter "scheme" is a drive letter)
    if (!file.isEmpty()) {
        const QFileInfo fi(file);
        if (fi.isFile() && fi.isReadable() && fi.size() > 0 && fi.size() <= kMaxPageBytes)
            m_target = QUrl::fromLocalFile(fi.absoluteFilePath());
    }
    m_placeholder = m_target.isEmpty();
    m_pending = true;
    if (isVisible()) update();
}

bool TavWeb::eventFilter(QObject* watched, QEvent* e) {
    // After the frame this paint belongs to has gone out.
    if (m_pending && e->type() == QEvent::Paint && watched == m_view->viewport())
        QTimer::singleShot(0, this, &TavWeb::loadPending);
    return QWidget::eventFilter(watched, e);
}

void TavWeb::loadPending() {
    if (!m_pending) return;
    m_pending = false;
    if (m_target.isEmpty()) {
        m_view->setHtml(placeholderHtml());
    } else if (m_view->source() == m_target) {
        m_view->reload();
    } else {
        // The browser reads the file itself, honouring the page's declared encoding.
        m_view->setSource(m_target);
    }
}

QString TavWeb::plainText() {
    loadPending();
    return m_view->toPlainText();
}
