#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace corvane::appearance {

// A flat caption button with a drawn 3-D edge; it clicks on release, and dragging off it before
// releasing cancels the click. Any size.
class Butt : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    explicit Butt(QWidget* parent = nullptr);
    explicit Butt(const QString& caption, QWidget* parent = nullptr);

    QString Caption() const { return caption_; }
    // Raises PropertyChanged("Caption").
    void SetCaption(const QString& caption);

    // The tooltip to show once TipChange is called.
    QString TipText() const { return tipText_; }
    void SetTipText(const QString& text) { tipText_ = text; }
    void TipChange();
    // A colour value (red in the low byte), e.g. to highlight the button while its window shows.
    void ColChange(quint32 color);
    QColor TextColor() const { return textColor_; }
    bool IsPressed() const { return pressed_; }

    QSize sizeHint() const override;

Q_SIGNALS:
    void Click();
    void MouseOver();
    void PropertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void SetPressed(bool pressed);

    QString caption_;
    QString tipText_;
    QColor textColor_;
    bool pressed_ = false;
};

}  // namespace corvane::appearance
