#pragma once
// The chat pane of the table: lines shown read-only, a target chooser ("所有人" and the users),
// a text input and a send button.
//
// A chat message is ten texts (ChatSend), which the client joins with back-quotes and the
// server relays to the table; the receiving clients hand fields 2..9 to AddChatMessage.
//   ChatSend field | AddChatMessage field | meaning
//   0              | -                    | sender's own name (for the server)
//   1              | -                    | target name, "所有人" for everybody (for the server)
//   2              | 0                    | sender's name as shown
//   3              | 1                    | target's name as shown ("所有人" for everybody)
//   4              | 2                    | the text (back-quotes and line breaks replaced)
//   5              | 3                    | text colour "#rrggbb"
//   6              | 4                    | "1" bold, "0" normal
//   7              | 5                    | "1" whispered (only the target should see it), else "0"
//   8              | 6                    | sending time "hh:mm:ss"
//   9              | 7                    | face picture: a file name inside the face folder,
//                  |                      | empty for none (offered only when the folder has any)
// Every field may be empty on receipt: an invalid colour falls back to the default, a missing
// time is simply not shown. Nothing received is ever interpreted as markup.
//
// What the pane holds is bounded whatever arrives: a text beyond MaxShownChars is cut and ends
// with "…" (a name beyond MaxShownNameChars likewise), and only the last MaxLines lines stay.
// Lines added in one turn of the event loop go into the pane together when the loop next runs
// (or when the pane is read back), so a burst costs one layout, not one per line. Under a flood
// the pane is brought up to date at most every FlushSpacingMs, FlushLines lines at a time, the
// oldest first: what one update costs does not grow with what arrives, and no line of a burst is
// lost. Only when more lines wait than the pane holds do the oldest of them go (they would have
// scrolled out unseen); one line in their place says how many ("……（略去 N 行）").
#include <QColor>
#include <QString>
#include <QStringList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextBrowser;
class ClockTimer;

class TavChat : public QWidget {
    Q_OBJECT
public:
    static constexpr int SendFieldCount = 10;
    static constexpr int ShownFieldCount = 8;
    static constexpr int MaxTextLength = 200;   // characters of one typed message
    static constexpr int MaxShownChars = 2000;  // characters of one received text shown
    static constexpr int MaxShownNameChars = 64;
    static constexpr int MaxLines = 500;
    static constexpr int FlushSpacingMs = 100;
    static constexpr int FlushLines = 64;

    explicit TavChat(QWidget* parent = nullptr);

    // Prepares the control after its properties are set: empties the pane, shows the welcome
    // page (the page file beside the program, if present) and keeps the current target.
    void ResetChat();
    // "ADD" adds the name to the target list (once), "DEL" removes it; other words are ignored.
    void UpdateTargets(const QString& name, const QString& addOrDel);
    void AddSystemLine(const QString& line);
    void AddNoticeText(const QString& text);
    void AddChatMessage(const QStringList& eightFields);
    void ClearChat();
    // Selects the target, adding it to the list when it is not there yet.
    void SetChatTarget(const QString& name);

    // The folder of the face pictures a message may carry; read again on ResetChat.
    void setFacePath(const QString& path);
    void setAppPath(const QString& path) { m_appPath = path; }
    void setPageFile(const QString& file) { m_pageFile = file; }
    void setMyName(const QString& name) { m_myName = name; }
    // Flag 1: the input row (target, text, send) is offered. The main window sets it True.
    void setFlag1(bool on);
    void setCaption(const QString& caption);
    // Flag 2: lines carry their time stamp. The main window sets it False.
    void setFlag2(bool on) { m_showTime = on; }

    // Read-back, for the client and tests.
    QString chatTarget() const;
    QStringList targets() const;          // "所有人" first
    QString caption() const;
    QString plainText() const;            // the pane's text as shown
    QString paneHtml() const;
    int lineCount() const { return m_lines; }
    QLineEdit* input() const { return m_input; }
    QPushButton* sendButton() const { return m_send; }
    QComboBox* targetBox() const { return m_target; }
    QComboBox* faceBox() const { return m_face; }
    // The face picture file for a received face name, "" when it is not a plain file name of
    // the face folder (a name with a path in it is never followed).
    QString faceFile(const QString& faceName) const;

    static QString allUsersName();       // "所有人"
    static QColor systemColor();
    static QColor noticeColor();

signals:
    void ChatSend(const QStringList& tenTexts);

private:
    void sendTyped();
    void appendHtml(const QString& html);
    // Puts the oldest `most` waiting lines into the pane; the others wait for the next update.
    void flushPending(int most = MaxLines) const;
    void scheduleFlush() const;
    void loadFaces();

    QLabel* m_caption = nullptr;
    QTextBrowser* m_pane = nullptr;
    QComboBox* m_target = nullptr;
    QComboBox* m_color = nullptr;
    QComboBox* m_face = nullptr;
    QCheckBox* m_whisper = nullptr;
    QLineEdit* m_input = nullptr;
    QPushButton* m_send = nullptr;
    QWidget* m_inputRow = nullptr;
    QString m_facePath, m_appPath, m_pageFile, m_myName;
    bool m_showTime = false;
    int m_lines = 0;
    // Lines added since the pane was last brought up to date (with the skipped lines' note, at
    // most MaxLines of them), and how many older ones went unseen.
    mutable QStringList m_pending;
    mutable int m_skipped = 0;
    ClockTimer* m_flushTimer = nullptr;
    mutable qint64 m_lastFlushMs = -1;
};
