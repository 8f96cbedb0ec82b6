#pragma once
// The flat look of the reader's dialogs: a panel without bevel in the dialogs' colour, which
// can fade in from white over its top few pixels.

#include <QColor>
#include <QString>
#include <QWidget>

namespace morvell {

// The colour of the flat dialog look (panels, bars, speed buttons).
inline const QColor kXPColor{0xEC, 0xE9, 0xD8};

class TXPPanel : public QWidget {
    Q_OBJECT
public:
    // Height of the fade at the top with TopGradientTrick on.
    static constexpr int kGradientHeight = 10;

    explicit TXPPanel(QWidget* parent = nullptr);

    bool TopGradientTrick() const { return m_topGradientTrick; }
    void SetTopGradientTrick(bool on);
    // On: the panel shows the flat dialog colour whatever Color says.
    bool DefaultToXColor() const { return m_defaultToXColor; }
    void SetDefaultToXColor(bool on);

    QColor Color() const;
    void SetColor(const QColor& color);
    // The colour actually painted.
    QColor PaintColor() const { return m_defaultToXColor ? kXPColor : Color(); }

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_topGradientTrick = false;
    bool m_defaultToXColor = true;
    QString m_caption;
};

} // namespace morvell
