#include "tavlist.h"

#include "platform/core/vbnum.h"

#include <QEvent>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTableWidget>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {
const QChar kSep = QLatin1Char('`');
const QColor kAltRow(236, 243, 250);
const QColor kMarkBack(255, 236, 160);
const QColor kMyText(0, 70, 160);
const QColor kDroppedText(140, 140, 140);
constexpr int kTitleHeight = 22;
constexpr int kScoreField = 2;
constexpr int kLevelField = 3;
constexpr int kWinRateField = 6;
constexpr int kEscapeRateField = 7;
constexpr int kDroppedField = 15;
// A heading's room around its text: 4 pixels at the sides, 2 above and below, and the
// one-pixel rule at its right.
constexpr int kHeadPadX = 4;
constexpr int kHeadPadY = 2;
constexpr int kHeadRule = 1;

// Headings in the list's own colours: flat sections, each with a lighter rule at its right.
// Drawn here rather than through a style sheet, which would put every widget of the program
// behind the style-sheet machinery at start-up and on every paint.
class ListHeader : public QHeaderView {
public:
    explicit ListHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}
    void setColors(const QColor& back, const QColor& text) {
        m_back = back;
        m_text = text;
        viewport()->update();
    }

protected:
    void paintSection(QPainter* p, const QRect& rect, int logical) const override {
        if (!rect.isValid()) return;
        p->save();
        p->fillRect(rect, m_back);
        p->fillRect(QRect(rect.right() + 1 - kHeadRule, rect.top(), kHeadRule, rect.height()), m_back.lighter(130));
        const QRect text = rect.adjusted(kHeadPadX, kHeadPadY, -kHeadPadX - kHeadRule, -kHeadPadY);
        const QString label = model() ? model()->headerData(logical, orientation()).toString() : QString();
        p->setPen(m_text);
        p->setFont(font());
        p->drawText(text, int(defaultAlignment()), fontMetrics().elidedText(label, Qt::ElideRight, text.width()));
        p->restore();
    }
    // The style's own size for the heading, with the padding around it.
    QSize sectionSizeFromContents(int logical) const override {
        const QSize base = QHeaderView::sectionSizeFromContents(logical);
        return {base.width() + 2 * kHeadPadX + kHeadRule, base.height() + 2 * kHeadPadY};
    }

private:
    QColor m_back{41, 109, 165};
    QColor m_text{255, 255, 255};
};
}

TavList::TavList(QWidget* parent) : QWidget(parent) {
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);

    m_titleBar = new QLabel(this);
    m_titleBar->setFixedHeight(kTitleHeight);
    m_titleBar->setIndent(6);
    m_titleBar->setTextFormat(Qt::PlainText);
    QFont tf = m_titleBar->font();
    tf.setBold(true);
    m_titleBar->setFont(tf);
    m_titleBar->setAutoFillBackground(true);
    lay->addWidget(m_titleBar);

    m_table = new QTableWidget(this);
    m_table->setHorizontalHeader(new ListHeader(m_table));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setAlternatingRowColors(true);
    m_table->setShowGrid(false);
    m_table->setWordWrap(false);
    m_table->setTextElideMode(Qt::ElideRight);
    m_table->setFocusPolicy(Qt::NoFocus);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setHighlightSections(false);
    m_table->horizontalHeader()->setSectionsClickable(false);
    m_table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_table->horizontalHeader()->setStretchLastSection(false);
    m_table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_table->setFrameShape(QFrame::NoFrame);
    m_table->viewport()->installEventFilter(this);
    lay->addWidget(m_table, 1);

    setTitle(QStringLiteral("用户列表"));
    m_headings = QStringList{
        QStringLiteral("用户名"), QStringLiteral("用户ID"), QStringLiteral("经验"), QStringLiteral("级别"),
        QStringLiteral("旁观对象"), QStringLiteral("总局数"), QStringLiteral("胜率"), QStringLiteral("逃跑率"),
        QStringLiteral("胜"), QStringLiteral("输"), QStringLiteral("和"), QStringLiteral("人物类型"),
        QStringLiteral("图标号"), QStringLiteral("实际椅子号"), QStringLiteral("举手"), QStringLiteral("掉线")};
    m_widths = {100, 90, 70, 80, 80, 60, 50, 50, 50, 50, 50};
    applyStyle();
    rebuildHeader();
}

bool TavList::splitRow(const QString& row, QStringList& fields) {
    QString r = row;
    if (r.endsWith(QLatin1Char('\r'))) r.chop(1);
    fields = r.split(kSep);
    return fields.size() == FieldCount && !fields.at(0).isEmpty();
}

void TavList::SetColumns(const QString& headings16, int shownCount) {
    QStringList h = headings16.split(kSep);
    while (h.size() < FieldCount) h.append(QString());
    while (h.size() > FieldCount) h.removeLast();
    m_headings = h;
    m_shown = qBound(1, shownCount, int(FieldCount));
    if (!m_scoreName.isEmpty()) m_headings[kScoreField] = m_scoreName;
    rebuildHeader();
}

void TavList::SetColumnWidths(const QString& widths) {
    m_widths.clear();
    for (const QString& w : widths.split(kSep)) {
        int v = ValLng(w);
        m_widths.append(v > 0 && v < 2000 ? v : 60);
    }
    rebuildHeader();
}

void TavList::SetLevelInfo(const QString& levelInfo) {
    m_levels.clear();
    if (!levelInfo.isEmpty()) {
        for (const QString& item : levelInfo.split(kSep)) {
            const QStringList parts = item.split(QLatin1Char('_'));
            m_levels.append({parts.at(0), parts.size() > 1 ? long(ValLng(parts.at(1))) : 0L});
        }
    }
    for (int r = 0; r < m_rows.size(); ++r) fillRow(r, m_rows.at(r));
}

QString TavList::levelTitleFor(const QString& scoreText) const {
    if (m_levels.isEmpty()) return scoreText;
    const long v = ValLng(scoreText);
    if (v <= m_levels.first().second) return m_levels.first().first;
    if (v >= m_levels.last().second) return m_levels.last().first;
    for (int i = 1; i < m_levels.size(); ++i)
        if (v < m_levels.at(i).second) return m_levels.at(i - 1).first;
    return m_levels.last().first;
}

void TavList::setMyName(const QString& name) {
    m_myName = name;
    refreshRowLooks();
}

void TavList::setColors(const QColor& headerBack, const QColor& headerText) {
    if (headerBack.isValid()) m_headerBack = headerBack;
    if (headerText.isValid()) m_headerText = headerText;
    applyStyle();
}

void TavList::setStyleValue(int value) {
    m_styleValue = qBound(0, value, 20);
    applyStyle();
}

void TavList::setTitle(const QString& title) { m_titleBar->setText(title); }
QString TavList::title() const { return m_titleBar->text(); }

void TavList::setScoreName(const QString& name) {
    m_scoreName = name;
    if (!name.isEmpty() && m_headings.size() > kScoreField) m_headings[kScoreField] = name;
    rebuildHeader();
}

QString TavList::columnHeading(int column) const {
    if (column < 0 || column >= m_table->columnCount()) return QString();
    const QTableWidgetItem* it = m_table->horizontalHeaderItem(column);
    return it ? it->text() : QString();
}

void TavList::applyStyle() {
    QPalette tp = m_titleBar->palette();
    tp.setColor(QPalette::Window, m_headerBack);
    tp.setColor(QPalette::WindowText, m_headerText);
    m_titleBar->setPalette(tp);

    QPalette p = m_table->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, kAltRow);
    p.setColor(QPalette::Text, Qt::black);
    p.setColor(QPalette::Highlight, QColor(190, 215, 240));
    p.setColor(QPalette::HighlightedText, Qt::black);
    m_table->setPalette(p);

    static_cast<ListHeader*>(m_table->horizontalHeader())->setColors(m_headerBack, m_headerText);
    const int rowH = m_table->fontMetrics().height() + 2 * m_styleValue;
    m_table->verticalHeader()->setMinimumSectionSize(1);
    m_table->verticalHeader()->setDefaultSectionSize(rowH);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

void TavList::rebuildHeader() {
    const int shown = qMin(m_shown, int(m_headings.size()));
    m_table->setColumnCount(shown);
    QStringList labels = m_headings.mid(0, shown);
    m_table->setHorizontalHeaderLabels(labels);
    for (int c = 0; c < shown; ++c)
        m_table->setColumnWidth(c, c < m_widths.size() ? m_widths.at(c) : 60);
    for (int r = 0; r < m_rows.size(); ++r) fillRow(r, m_rows.at(r));
}

int TavList::rowOf(const QString& name) const {
    for (int r = 0; r < m_rows.size(); ++r)
        if (m_rows.at(r).at(0) == name) return r;
    return -1;
}

void TavList::fillRow(int at, const QStringList& fields) {
    if (at < 0 || at >= m_table->rowCount()) return;
    for (int c = 0; c < m_table->columnCount() && c < fields.size(); ++c) {
        QString text = fields.at(c);
        if (c == kLevelField) text = levelTitleFor(text);
        else if ((c == kWinRateField || c == kEscapeRateField) && !text.trimmed().isEmpty())
            text += QLatin1Char('%');
        auto* item = m_table->item(at, c);
        if (!item) {
            item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            m_table->setItem(at, c, item);
        }
        item->setText(text);
        // Tool tips take markup when the text looks like it: a name is text, so it goes as
        // escaped rich text and shows exactly as it is spelled.
        item->setToolTip(c == 0 ? Qt::convertFromPlainText(fields.at(0), Qt::WhiteSpaceNoWrap) : QString());
    }
}

void TavList::insertRow(int at, const QStringList& fields) {
    m_rows.insert(at, fields);
    m_table->insertRow(at);
    fillRow(at, fields);
}

void TavList::refreshRowLooks() {
    for (int r = 0; r < m_rows.size(); ++r) {
        const QStringList& f = m_rows.at(r);
        const bool marked = !m_marked.isEmpty() && f.at(0) == m_marked;
        const bool mine = !m_myName.isEmpty() && f.at(0) == m_myName;
        const bool dropped = ValLng(f.at(kDroppedField)) > 0;
        for (int c = 0; c < m_table->columnCount(); ++c) {
            QTableWidgetItem* item = m_table->item(r, c);
            if (!item) continue;
            QFont fnt = m_table->font();
            fnt.setBold(marked || (mine && c == 0));
            item->setFont(fnt);
            item->setBackground(marked ? QBrush(kMarkBack) : QBrush());
            item->setForeground(dropped ? QBrush(kDroppedText) : mine ? QBrush(kMyText) : QBrush());
        }
    }
}

// A name listed already keeps its place and takes the new row's data.
void TavList::upsertRow(const QStringList& fields) {
    const int existing = rowOf(fields.at(0));
    if (existing >= 0) {
        m_rows[existing] = fields;
        fillRow(existing, fields);
    } else {
        insertRow(int(m_rows.size()), fields);
    }
}

void TavList::LoadUsers(const QString& body) {
    m_rows.clear();
    m_table->setRowCount(0);
    m_pressedRow = -1;
    QStringList fields;
    for (const QString& line : body.split(QLatin1Char('\n'))) {
        if (splitRow(line, fields)) upsertRow(fields);
    }
    refreshRowLooks();
    emit UsersLoaded(userNames().join(kSep));
}

void TavList::AddUser(const QString& row) {
    QStringList fields;
    if (!splitRow(row, fields)) return;
    upsertRow(fields);
    refreshRowLooks();
}

void TavList::RemoveUser(const QString& name) {
    const int r = rowOf(name);
    if (r < 0) return;
    m_rows.removeAt(r);
    m_table->removeRow(r);
    m_pressedRow = -1;
    if (name == m_marked) m_marked.clear();
}

void TavList::ClearUsers() {
    m_rows.clear();
    m_table->setRowCount(0);
    m_pressedRow = -1;
    m_marked.clear();
}

void TavList::MarkUser(const QString& name) {
    m_marked = name;
    refreshRowLooks();
    const int r = rowOf(name);
    if (r >= 0) m_table->scrollToItem(m_table->item(r, 0));
}

QString TavList::FindUser(const QString& name) const {
    const int r = rowOf(name);
    return r < 0 ? QString() : m_rows.at(r).join(kSep);
}

int TavList::userCount() const { return int(m_rows.size()); }

QStringList TavList::userNames() const {
    QStringList names;
    for (const QStringList& f : m_rows) names.append(f.at(0));
    return names;
}

QString TavList::markedUser() const { return rowOf(m_marked) >= 0 ? m_marked : QString(); }

bool TavList::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_table->viewport()) return QWidget::eventFilter(watched, event);
    const QEvent::Type t = event->type();
    if (t != QEvent::MouseButtonPress && t != QEvent::MouseButtonRelease &&
        t != QEvent::MouseButtonDblClick)
        return false;
    auto* me = static_cast<QMouseEvent*>(event);
    const int row = m_table->rowAt(me->position().toPoint().y());
    if (row < 0 || row >= m_rows.size()) {
        if (t == QEvent::MouseButtonPress) m_pressedRow = -1;
        return false;
    }
    // Copies: a handler may reload the list while the signal is being delivered.
    const QString name = m_rows.at(row).at(0);
    const QString rowText = m_rows.at(row).join(kSep);
    if (t == QEvent::MouseButtonPress) {
        m_pressedRow = row;
        m_table->selectRow(row);
        if (me->button() == Qt::RightButton) {
            m_pressedRow = -1;
            emit UserClicked(true, 0, name, rowText);
            return true;
        }
        return false;
    }
    if (t == QEvent::MouseButtonDblClick) {
        m_pressedRow = -1;
        if (me->button() == Qt::LeftButton) emit UserClicked(true, 0, name, rowText);
        return true;
    }
    // Release: a left click completes on the row it started on.
    const bool click = me->button() == Qt::LeftButton && m_pressedRow == row;
    m_pressedRow = -1;
    if (click) emit UserClicked(false, 0, name, rowText);
    return false;
}
