#pragma once

#include <QWidget>

class QLabel;
class QFrame;

namespace corvane::app {

// SP2, the small window that shows what start-up is doing: the text `Action` and the growing
// bar `Stat`, whose width start-up sets in twips at fixed points.
class Splash : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMaxStatTwips = 2700;

    explicit Splash(QWidget* parent = nullptr);

    void SetAction(const QString& text);
    QString Action() const;
    void SetStat(int twips);
    int Stat() const { return stat_; }

    QLabel* ActionLabel() const { return action_; }
    QFrame* StatBar() const { return bar_; }

Q_SIGNALS:
    // The text or the bar changed.
    void Progress(const QString& action, int stat);

private:
    QLabel* action_;
    QFrame* bar_;
    int stat_ = 0;
};

}  // namespace corvane::app
