#pragma once
// Modal folder chooser: a status text shown to the user above the folder list and the
// initial / chosen folder in Directory.

#include <QObject>
#include <QString>

class QWidget;

namespace morvell {

class TPathDialog : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Directory READ Directory WRITE SetDirectory)
    Q_PROPERTY(QString StatusText READ StatusText WRITE SetStatusText)
public:
    explicit TPathDialog(QWidget* parent = nullptr);

    QString Directory() const { return m_directory; }
    void SetDirectory(const QString& directory) { m_directory = directory; }
    QString StatusText() const { return m_statusText; }
    void SetStatusText(const QString& text) { m_statusText = text; }

    // Shows the chooser; true with the chosen folder in Directory when the user confirms.
    bool Execute();

private:
    QWidget* m_parent;
    QString m_directory;
    QString m_statusText;
};

} // namespace morvell
