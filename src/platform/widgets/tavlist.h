#pragma once
// The user list of the table: one row per user, sixteen back-quote-separated fields per row
// (name, ID, score, level, watched player, games, win rate, escape rate, won, lost, drawn,
// figure type, icon number, chair, hand raised, line dropped). The first `shownCount` fields
// are columns; the rest ride along as data so FindUser can hand the whole row back.
#include <QColor>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

class QLabel;
class QTableWidget;

class TavList : public QWidget {
    Q_OBJECT
public:
    static constexpr int FieldCount = 16;

    explicit TavList(QWidget* parent = nullptr);

    // Headings are sixteen texts joined with back-quotes; the first shownCount become columns.
    void SetColumns(const QString& headings16, int shownCount);
    // Pixel widths of the shown columns, joined with back-quotes ("100`90`70...").
    void SetColumnWidths(const QString& widths);
    // The level-title table ("title_threshold`title_threshold`..."): the level column then
    // shows the title whose threshold the user's score (field 2) has reached.
    void SetLevelInfo(const QString& levelInfo);
    // Replaces all rows: one sixteen-field row per line ("\n", a trailing "\r" is ignored).
    // Lines without exactly sixteen fields or with an empty name are skipped; a name seen
    // twice keeps its last row. Raises UsersLoaded with the listed names joined by back-quotes.
    void LoadUsers(const QString& body);
    // Adds a sixteen-field row, or replaces the row of the same name. Malformed rows are ignored.
    void AddUser(const QString& row);
    void RemoveUser(const QString& name);
    void ClearUsers();
    // Highlights one user's row (bold on a marker colour); marking another moves the marker.
    void MarkUser(const QString& name);
    // The user's row as sixteen back-quote-separated fields, or "" when not listed.
    QString FindUser(const QString& name) const;

    void setMyName(const QString& name);
    // Header background and header text colours (the main window passes RGB(41,109,165), white).
    void setColors(const QColor& headerBack, const QColor& headerText);
    // Extra vertical padding of every row in pixels (the main window passes 4).
    void setStyleValue(int value);
    void setTitle(const QString& title);
    // Heading of the score column (field 2), e.g. "经验" or "积分".
    void setScoreName(const QString& name);

    // Read-back, for the layout and tests.
    int userCount() const;
    QStringList userNames() const;   // in display order
    QString markedUser() const;
    QString myName() const { return m_myName; }
    QString title() const;
    QString columnHeading(int column) const;
    int shownColumns() const { return m_shown; }
    QString levelTitleFor(const QString& scoreText) const;
    QTableWidget* table() const { return m_table; }

signals:
    void UsersLoaded(const QString& namesJoinedWithBackquote);
    // showCard: false for a left click (pick as chat target), true for a right or double click.
    void UserClicked(bool showCard, int unused, const QString& name, const QString& row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuildHeader();
    void applyStyle();
    int rowOf(const QString& name) const;
    void upsertRow(const QStringList& fields);
    void insertRow(int at, const QStringList& fields);
    void fillRow(int at, const QStringList& fields);
    void refreshRowLooks();
    static bool splitRow(const QString& row, QStringList& fields);

    QLabel* m_titleBar = nullptr;
    QTableWidget* m_table = nullptr;
    QStringList m_headings;
    int m_shown = 11;
    QVector<int> m_widths;
    QString m_scoreName;
    QString m_myName;
    QString m_marked;
    QColor m_headerBack{41, 109, 165};
    QColor m_headerText{255, 255, 255};
    int m_styleValue = 4;
    QVector<QPair<QString, long>> m_levels;   // title, threshold; ascending thresholds
    QVector<QStringList> m_rows;              // parallel to the table's rows
    int m_pressedRow = -1;
};
