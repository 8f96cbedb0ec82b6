#pragma once
// The splash window at start-up, which is also the about window: the reader's own artwork,
// drawn with QPainter so that it needs no picture files, with name, version, credits and
// web address. As the about window it has an OK button.

#include <QDialog>

class QPushButton;

namespace morvell {

class TFabout : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Splash, About };
    explicit TFabout(Mode mode, QWidget* parent = nullptr);

    // Shows the window and paints it before returning, so it is on screen while the rest
    // of the start-up runs without an event loop.
    void ShowAtOnce();
    Mode WindowMode() const { return m_mode; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    Mode m_mode;
    QPushButton* m_ok = nullptr;
};

} // namespace morvell
