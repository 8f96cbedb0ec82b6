#pragma once
// The hint window of the reader: the hint text of a link or object, word-wrapped, taken
// literally (an '&' is an ampersand, not a mnemonic), in the system's tool-tip colours and
// decoded from the ebook's code page.

#include <QString>
#include <QWidget>

#include <string>

namespace morvell {

class TQzHintWindow : public QWidget {
    Q_OBJECT
public:
    // Space between the window's edge and the text on the left and at the top.
    static constexpr int kInset = 2;

    explicit TQzHintWindow(QWidget* parent = nullptr);

    // Code page the hint bytes are in ("windows-1252" until an ebook says otherwise).
    void SetCharSet(const std::string& charSet) { m_charSet = charSet; }
    const std::string& CharSet() const { return m_charSet; }

    // The size the text needs when wrapped at `maxWidth` pixels.
    QRect CalcHintRect(int maxWidth, const QString& text) const;
    // Shows ebook bytes (or, with the QString overload, text) at `globalPos`.
    void ActivateHint(const QPoint& globalPos, const std::string& hintBytes, int maxWidth = 300);
    void ActivateHint(const QPoint& globalPos, const QString& text, int maxWidth = 300);
    void ReleaseHint() { hide(); }

    const QString& Text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr int kTextFlags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;
    std::string m_charSet = "windows-1252";
    QString m_text;
};

} // namespace morvell
