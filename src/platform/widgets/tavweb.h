#pragma once
// The advert pane's page view. Only local pages are shown: a file path or a file: URL is
// loaded from disk; any other address gets the game's own built-in page. Nothing is ever
// fetched from the network, and links are not followed. A page is laid out only after the pane
// has first been painted, so opening the window does not wait for it; asking for the page's text
// lays it out at once.
#include <QString>
#include <QUrl>
#include <QWidget>

class QTextBrowser;

class TavWeb : public QWidget {
    Q_OBJECT
public:
    explicit TavWeb(QWidget* parent = nullptr);

    // 0: plain, with scroll bars; 1 (what the main window sets): borderless, no scroll bars.
    void setMode(int mode);
    void Navigate(const QString& urlOrPath);

    int mode() const { return m_mode; }
    QString currentAddress() const { return m_address; }
    bool showingPlaceholder() const { return m_placeholder; }
    QString plainText();
    static QString placeholderHtml();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void loadPending();

    QTextBrowser* m_view = nullptr;
    int m_mode = 0;
    QString m_address;
    bool m_placeholder = true;
    // The page to lay out once the pane has been painted (empty: the built-in page).
    QUrl m_target;
    bool m_pending = true;
};
