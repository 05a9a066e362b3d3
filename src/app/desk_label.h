#pragma once

#include <QColor>
#include <QLabel>

namespace corvane::app {

// A caption on the desk that reports the mouse to its host: the mute labels, the line and
// song titles, the time displays and the AutoPilot's labels all act on press, release and
// hover rather than on a click.
class DeskLabel : public QLabel {
    Q_OBJECT

public:
    explicit DeskLabel(const QString& text = QString(), QWidget* parent = nullptr);

    void SetTextColor(const QColor& color);
    QColor TextColor() const { return color_; }

Q_SIGNALS:
    void MouseOver();
    void Pressed(Qt::MouseButton button);
    void Released(Qt::MouseButton button);
    void DoubleClicked();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QColor color_;
};

// A label whose text is cut with an ellipsis to fit its width; the whole text stays readable
// through text().
class ElidedLabel : public DeskLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(const QString& text = QString(), QWidget* parent = nullptr);

    void SetFullText(const QString& text);
    QString FullText() const { return full_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Elide();

    QString full_;
};

}  // namespace corvane::app
