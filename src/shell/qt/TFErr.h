#pragma once
// The report window: a caption, a heading, a read-only list of text lines and OK; buttons to
// copy the list to the clipboard and to load or save it as a text file are hidden unless the
// caller shows them. In download mode it fetches an ebook update into a target file.

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;

namespace morvell {

class TFErr : public QDialog {
    Q_OBJECT
public:
    explicit TFErr(QWidget* parent = nullptr);

    void SetCaption(const QString& caption) { setWindowTitle(caption); }
    void SetHeading(const QString& heading);
    QString Heading() const;

    void AddLine(const QString& line);
    void SetLines(const QStringList& lines);
    QStringList Lines() const;
    void Clear();

    // The optional buttons.
    void ShowCopyButton(bool show);
    void ShowLoadSaveButtons(bool show);
    QPushButton* CopyButton() const { return m_copy; }
    QPushButton* LoadButton() const { return m_load; }
    QPushButton* SaveButton() const { return m_save; }
    QPushButton* OkButton() const { return m_ok; }

    // The list as text, one line after another separated by "\n"; the clipboard gets it.
    QString Text() const;
    void CopyAll();
    // Saves the lines as a UTF-8 text file, or loads them from one (replacing the list).
    bool SaveToFile(const QString& path) const;
    bool LoadFromFile(const QString& path);

    // ---- download mode ------------------------------------------------------------------
    // When an address and a target are set, showing the window adds a progress bar above
    // the list and, 600 ms later, downloads the address into the target file, then adds the
    // verdict line of CheckDownloadedUpdate. The transfer itself is a hook so the internet
    // layer can supply it: it gets address, target and a progress callback (bytes done,
    // bytes total or -1) and returns the HTTP status (0 stopped, negative on error).
    using Progress = std::function<void(long long done, long long total)>;
    using Downloader = std::function<int(const QString& address, const QString& target, Progress progress)>;
    void SetDownload(const QString& address, const QString& target);
    bool InDownloadMode() const { return !m_address.isEmpty() && !m_target.isEmpty(); }
    static void SetDownloader(Downloader downloader);
    // Runs the download now (normally the timer does); public so tests can drive it.
    void RunDownload();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnLoadClicked();
    void OnSaveClicked();

    QLabel* m_heading;
    QListWidget* m_list;
    QProgressBar* m_progress;
    QPushButton* m_ok;
    QPushButton* m_copy;
    QPushButton* m_load;
    QPushButton* m_save;
    QTimer* m_downloadTimer;
    QString m_address;
    QString m_target;
    bool m_downloadStarted = false;
};

} // namespace morvell
