#pragma once
// The client panel of a frame: never erases its background while transparent, leaves a
// margin around its client area and lets its owner paint through OnPaint.

#include <QColor>
#include <QString>
#include <QWidget>

#include <functional>

class QPainter;

namespace morvell {

class TNoBgPaintPanel : public QWidget {
    Q_OBJECT
public:
    explicit TNoBgPaintPanel(QWidget* parent = nullptr);

    int Margin() const { return m_margin; }
    // A margin makes the panel opaque (it paints the margin in Color); no margin, transparent.
    void SetMargin(int margin);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent);
    QColor Color() const;
    void SetColor(const QColor& color);
    // The frame name; kept, not drawn.
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption) { m_caption = caption; }

    // The panel less the margin on every side.
    QRect ClientRect() const;

    // After the background (if any): the owner's drawing.
    std::function<void(TNoBgPaintPanel& sender, QPainter& painter)> OnPaint;
    // A left-button click: press and release inside the panel.
    std::function<void(TNoBgPaintPanel& sender)> OnMyClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_margin = 0;
    bool m_transparent = true;
    bool m_pressed = false;
    QString m_caption;
};

} // namespace morvell
