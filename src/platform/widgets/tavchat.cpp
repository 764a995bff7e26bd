#include "tavchat.h"

#include "platform/core/clock.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTimer>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QVBoxLayout>
#include <algorithm>

namespace {
constexpr int kMaxLines = TavChat::MaxLines;   // older lines are dropped to keep the pane light
constexpr qint64 kMaxPageBytes = 64 * 1024;
constexpr int kFaceSize = 20;
constexpr int kMaxFaces = 120;

struct NamedColor {
    const char* name;
    QColor color;
};
const NamedColor kTextColors[] = {
    {"黑色", QColor(0, 0, 0)},      {"红色", QColor(200, 0, 0)},  {"蓝色", QColor(0, 0, 200)},
    {"绿色", QColor(0, 128, 0)},    {"紫色", QColor(128, 0, 128)}, {"棕色", QColor(139, 69, 19)},
};

QString esc(const QString& s) { return s.toHtmlEscaped(); }

// A received text as the pane shows it: at most `max` characters, the last of them "…" when
// the text was longer (never half of a surrogate pair).
QString cut(const QString& s, int max) {
    if (s.size() <= max) return s;
    qsizetype keep = max - 1;
    if (keep > 0 && s.at(keep - 1).isHighSurrogate()) --keep;
    return s.left(keep) + QChar(0x2026);
}

// Cut first, then escaped: the cost of a line does not depend on what was cut away.
QString shown(const QString& s) { return esc(cut(s, TavChat::MaxShownChars)); }
QString shownName(const QString& s) { return esc(cut(s, TavChat::MaxShownNameChars)); }

// A typed text becomes one field of a back-quote-joined message: a back-quote inside it would
// split the message into the wrong number of fields, and line breaks have no place in a line.
QString cleanTyped(QString s) {
    s.replace(QLatin1Char('`'), QLatin1Char('\''));
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s.trimmed().left(TavChat::MaxTextLength);
}
}

QString TavChat::allUsersName() { return QStringLiteral("所有人"); }
QColor TavChat::systemColor() { return QColor(0, 110, 60); }
QColor TavChat::noticeColor() { return QColor(200, 80, 0); }

TavChat::TavChat(QWidget* parent) : QWidget(parent) {
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(2);

    m_caption = new QLabel(QStringLiteral("聊天室"), this);
    m_caption->setTextFormat(Qt::PlainText);
    m_caption->setFixedHeight(22);
    m_caption->setIndent(6);
    QFont cf = m_caption->font();
    cf.setBold(true);
    m_caption->setFont(cf);
    m_caption->setAutoFillBackground(true);
    QPalette cp = m_caption->palette();
    cp.setColor(QPalette::Window, QColor(41, 109, 165));
    cp.setColor(QPalette::WindowText, Qt::white);
    m_caption->setPalette(cp);
    lay->addWidget(m_caption);

    m_pane = new QTextBrowser(this);
    m_pane->setReadOnly(true);
    m_pane->setOpenLinks(false);
    m_pane->setOpenExternalLinks(false);
    m_pane->setUndoRedoEnabled(false);
    m_pane->document()->setMaximumBlockCount(kMaxLines);
    m_flushTimer = new ClockTimer(this);
    m_flushTimer->setSingleShot(true);
    connect(m_flushTimer, &ClockTimer::timeout, this, [this] { flushPending(FlushLines); });
    m_pane->document()->setDocumentMargin(4);
    lay->addWidget(m_pane, 1);

    m_inputRow = new QWidget(this);
    auto* rows = new QVBoxLayout(m_inputRow);
    rows->setContentsMargins(2, 0, 2, 2);
    rows->setSpacing(2);

    auto* top = new QHBoxLayout;
    top->setSpacing(4);
    top->addWidget(new QLabel(QStringLiteral("对"), m_inputRow));
    m_target = new QComboBox(m_inputRow);
    m_target->addItem(allUsersName());
    m_target->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_target->setMinimumContentsLength(6);
    top->addWidget(m_target, 1);
    m_color = new QComboBox(m_inputRow);
    for (const NamedColor& nc : kTextColors) {
        QPixmap sw(12, 12);
        sw.fill(nc.color);
        m_color->addItem(QIcon(sw), QString::fromUtf8(nc.name), nc.color);
    }
    top->addWidget(m_color);
    m_face = new QComboBox(m_inputRow);
    m_face->setIconSize(QSize(kFaceSize, kFaceSize));
    m_face->setToolTip(QStringLiteral("表情"));
    m_face->setVisible(false);
    top->addWidget(m_face);
    m_whisper = new QCheckBox(QStringLiteral("悄悄话"), m_inputRow);
    top->addWidget(m_whisper);
    rows->addLayout(top);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(4);
    m_input = new QLineEdit(m_inputRow);
    m_input->setMaxLength(MaxTextLength);
    m_input->setPlaceholderText(QStringLiteral("输入聊天内容，按回车发送"));
    bottom->addWidget(m_input, 1);
    m_send = new QPushButton(QStringLiteral("发送"), m_inputRow);
    m_send->setAutoDefault(false);
    bottom->addWidget(m_send);
    rows->addLayout(bottom);
    lay->addWidget(m_inputRow);

    connect(m_input, &QLineEdit::returnPressed, this, &TavChat::sendTyped);
    connect(m_send, &QPushButton::clicked, this, &TavChat::sendTyped);
}

void TavChat::setFlag1(bool on) { m_inputRow->setVisible(on); }

void TavChat::setCaption(const QString& caption) { m_caption->setText(caption); }
QString TavChat::caption() const { return m_caption->text(); }

void TavChat::setFacePath(const QString& path) {
    m_facePath = path;
    loadFaces();
}

static QString folderOf(QString path) {
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::cleanPath(path);
}

void TavChat::loadFaces() {
    m_face->clear();
    m_face->addItem(QStringLiteral("无"), QString());
    if (!m_facePath.isEmpty()) {
        QDir dir(folderOf(m_facePath));
        const QStringList files = dir.entryList(
            {"*.bmp", "*.BMP", "*.gif", "*.GIF", "*.png", "*.PNG", "*.jpg", "*.JPG", "*.ico", "*.ICO"},
            QDir::Files | QDir::Readable, QDir::Name);
        for (const QString& f : files.mid(0, kMaxFaces)) {
            const QPixmap pm(dir.filePath(f));
            if (pm.isNull()) continue;
            m_face->addItem(QIcon(pm.scaled(kFaceSize, kFaceSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)),
                            QString(), f);
        }
    }
    m_face->setVisible(m_face->count() > 1);
}

QString TavChat::faceFile(const QString& faceName) const {
    const QString n = faceName.trimmed();
    if (n.isEmpty() || m_facePath.isEmpty() || n.startsWith(QLatin1Char('.')) ||
        n.contains(QLatin1Char('/')) || n.contains(QLatin1Char('\\')) || n.contains(QLatin1Char(':')))
        return QString();
    const QFileInfo fi(QDir(folderOf(m_facePath)).filePath(n));
    return fi.isFile() ? fi.absoluteFilePath() : QString();
}

void TavChat::ResetChat() {
    m_pending.clear();
    m_skipped = 0;
    m_flushTimer->stop();
    m_lastFlushMs = -1;
    m_pane->clear();
    m_lines = 0;
    loadFaces();
    if (m_appPath.isEmpty() || m_pageFile.isEmpty()) return;
    QString dir = m_appPath;
    dir.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QFileInfo fi(dir + (dir.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + m_pageFile);
    if (!fi.isFile() || fi.size() > kMaxPageBytes) return;
    QFile f(fi.absoluteFilePath());
    if (!f.open(QIODevice::ReadOnly)) return;
    const QByteArray data = f.readAll();
    QStringDecoder dec = QStringDecoder::decoderForHtml(data);
    QString html = dec.isValid() ? dec.decode(data) : QString::fromUtf8(data);
    // The page is our own welcome text shipped beside the program; it is shown as it is.
    m_pane->document()->setBaseUrl(QUrl::fromLocalFile(fi.absolutePath() + QLatin1Char('/')));
    m_pane->setHtml(html);
}

void TavChat::ClearChat() {
    m_pending.clear();
    m_skipped = 0;
    m_flushTimer->stop();
    m_lastFlushMs = -1;
    m_pane->clear();
    m_lines = 0;
}

void TavChat::appendHtml(const QString& html) {
    m_pending.append(html);
    ++m_lines;
    // Waiting lines the pane could not hold would scroll out unseen: the oldest go, counted, and
    // their note takes one of the pane's lines.
    while (m_pending.size() + (m_skipped ? 1 : 0) > kMaxLines) {
        m_pending.removeFirst();
        ++m_skipped;
    }
    scheduleFlush();
}

void TavChat::scheduleFlush() const {
    if (m_flushTimer->isActive()) return;
    // The next turn of the loop, unless the pane was brought up to date a moment ago.
    const qint64 now = ClockNowMs();
    const qint64 since = m_lastFlushMs >= 0 && now >= m_lastFlushMs ? now - m_lastFlushMs : qint64(FlushSpacingMs);
    m_flushTimer->start(int(std::clamp<qint64>(FlushSpacingMs - since, 0, FlushSpacingMs)));
}

void TavChat::flushPending(int most) const {
    m_lastFlushMs = ClockNowMs();
    if (m_pending.isEmpty() && !m_skipped) return;
    QStringList batch;
    if (m_skipped)
        batch.append(QStringLiteral("<span style=\"color:#808080\">……（略去 %1 行）</span>").arg(m_skipped));
    m_skipped = 0;
    const int take = int(std::min<qsizetype>(most, m_pending.size()));
    batch.append(m_pending.mid(0, take));
    m_pending.erase(m_pending.begin(), m_pending.begin() + take);
    QScrollBar* sb = m_pane->verticalScrollBar();
    const bool atEnd = sb->value() >= sb->maximum() - 4;
    // One edit: the document lays out and drops its oldest lines once for the whole batch.
    // Each line as the pane's own append would add it: a new block in the formats of the
    // pane's cursor, the line's markup as a fragment.
    QTextDocument* doc = m_pane->document();
    const QTextCursor paneCur = m_pane->textCursor();
    QTextCursor cur(doc);
    cur.beginEditBlock();
    cur.movePosition(QTextCursor::End);
    for (const QString& html : std::as_const(batch)) {
        if (!doc->isEmpty()) cur.insertBlock(paneCur.blockFormat(), paneCur.charFormat());
        else cur.setCharFormat(paneCur.charFormat());
        cur.insertFragment(QTextDocumentFragment::fromHtml(html, doc));
    }
    cur.endEditBlock();
    if (atEnd) sb->setValue(sb->maximum());
    // The rest of a flood follows in the next batch.
    if (!m_pending.isEmpty()) scheduleFlush();
}

static QString timePrefix(bool on, const QString& time) {
    if (!on || time.isEmpty()) return QString();
    return QStringLiteral("<span style=\"color:#808080\">[%1]</span> ").arg(esc(time));
}

void TavChat::AddSystemLine(const QString& line) {
    appendHtml(timePrefix(m_showTime, QTime::currentTime().toString(QStringLiteral("hh:mm:ss"))) +
               QStringLiteral("<span style=\"color:%1\">【系统】%2</span>")
                   .arg(systemColor().name(), shown(line)));
}

void TavChat::AddNoticeText(const QString& text) {
    appendHtml(timePrefix(m_showTime, QTime::currentTime().toString(QStringLiteral("hh:mm:ss"))) +
               QStringLiteral("<span style=\"color:%1; font-weight:bold\">【公告】%2</span>")
                   .arg(noticeColor().name(), shown(text)));
}

void TavChat::AddChatMessage(const QStringList& f) {
    auto field = [&f](int i) { return i < f.size() ? f.at(i) : QString(); };
    const QString sender = field(0).trimmed();
    const QString target = field(1).trimmed();
    const QString text = field(2);
    if (sender.isEmpty() && text.isEmpty() && field(7).isEmpty()) return;
    const bool whisper = field(5).trimmed() == QLatin1String("1");
    // A whisper concerns only its two ends.
    if (whisper && !m_myName.isEmpty() && sender != m_myName && target != m_myName) return;
    QColor color(field(3).trimmed());
    if (!color.isValid() || field(3).trimmed().isEmpty()) color = QColor(0, 0, 0);
    const bool bold = field(4).trimmed() == QLatin1String("1");
    const QString to = target.isEmpty() ? allUsersName() : target;

    QString html = timePrefix(m_showTime, field(6).trimmed());
    html += QStringLiteral("<span style=\"color:#1f5c99; font-weight:bold\">%1</span>").arg(shownName(sender));
    html += whisper ? QStringLiteral(" 悄悄地对 ") : QStringLiteral(" 对 ");
    html += QStringLiteral("<span style=\"color:#1f5c99\">%1</span> 说：").arg(shownName(to));
    const QString face = faceFile(field(7));
    if (!face.isEmpty())
        html += QStringLiteral("<img src=\"%1\" width=\"%2\" height=\"%2\"> ")
                    .arg(esc(QUrl::fromLocalFile(face).toString(QUrl::FullyEncoded)))
                    .arg(kFaceSize);
    html += QStringLiteral("<span style=\"color:%1%2\">%3</span>")
                .arg(color.name(), bold ? QStringLiteral("; font-weight:bold") : QString(), shown(text));
    appendHtml(html);
}

void TavChat::UpdateTargets(const QString& name, const QString& addOrDel) {
    const QString n = name.trimmed();
    if (n.isEmpty() || n == allUsersName()) return;
    const QString word = addOrDel.trimmed().toUpper();
    const int at = m_target->findText(n, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (word == QLatin1String("ADD")) {
        if (at < 0) m_target->addItem(n);
    } else if (word == QLatin1String("DEL")) {
        if (at > 0) {
            if (m_target->currentIndex() == at) m_target->setCurrentIndex(0);
            m_target->removeItem(at);
        }
    }
}

void TavChat::SetChatTarget(const QString& name) {
    const QString n = name.trimmed();
    if (n.isEmpty() || n == allUsersName()) {
        m_target->setCurrentIndex(0);
        return;
    }
    int at = m_target->findText(n, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (at < 0) {
        m_target->addItem(n);
        at = m_target->count() - 1;
    }
    m_target->setCurrentIndex(at);
}

QString TavChat::chatTarget() const { return m_target->currentText(); }

QStringList TavChat::targets() const {
    QStringList out;
    for (int i = 0; i < m_target->count(); ++i) out.append(m_target->itemText(i));
    return out;
}

QString TavChat::plainText() const {
    flushPending();
    return m_pane->toPlainText();
}
QString TavChat::paneHtml() const {
    flushPending();
    return m_pane->toHtml();
}

void TavChat::sendTyped() {
    const QString text = cleanTyped(m_input->text());
    const QString face = m_face->currentData().toString();
    if (text.isEmpty() && face.isEmpty()) return;
    const QString target = chatTarget();
    const bool whisper = m_whisper->isChecked() && target != allUsersName();
    const QColor color = m_color->currentData().value<QColor>();
    QStringList ten;
    ten << m_myName << target << m_myName << target << text
        << (color.isValid() ? color.name() : QStringLiteral("#000000")) << QStringLiteral("0")
        << (whisper ? QStringLiteral("1") : QStringLiteral("0"))
        << QTime::currentTime().toString(QStringLiteral("hh:mm:ss")) << face;
    m_input->clear();
    emit ChatSend(ten);
}
