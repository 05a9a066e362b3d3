#pragma once

#include <QString>
#include <QVariantMap>
#include <QWidget>
#include <QtGlobal>
#include <memory>

#include "ombrel/export.h"

namespace corvane::ombrel {

class ProgressRange;
enum class RangeField;

// A flat progress bar: a background box with an optional one-pixel border and a bar filled
// from the left to the share of Value between Min and Max. The setters of Max and Min widen
// the range so that it keeps Value; Value itself is clamped into the range.
class OMBREL_EXPORT FlatProg : public QWidget {
    Q_OBJECT
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE SetBackColor NOTIFY BackColorChanged)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled NOTIFY EnabledChanged)
    Q_PROPERTY(qint16 BorderStyle READ BorderStyle WRITE SetBorderStyle NOTIFY BorderStyleChanged)
    Q_PROPERTY(quint32 FillColor READ FillColor WRITE SetFillColor NOTIFY FillColorChanged)
    Q_PROPERTY(qint32 Max READ Max WRITE SetMax NOTIFY MaxChanged)
    Q_PROPERTY(qint32 Min READ Min WRITE SetMin NOTIFY MinChanged)
    Q_PROPERTY(qint32 Value READ Value WRITE SetValue NOTIFY ValueChanged)

public:
    static constexpr quint32 kDefaultBackColor = 0xFFFFFF;  // white
    static constexpr quint32 kDefaultFillColor = 0x800000;  // dark blue
    static constexpr qint16 kBorderNone = 0;
    static constexpr qint16 kBorderFixedSingle = 1;

    // A fresh control: Min 0, Max 100, Value 50, the bar drawn at half.
    explicit FlatProg(QWidget* parent = nullptr);
    ~FlatProg() override;

    // A control restored from saved properties (see Load); its bar stays empty until the
    // first change of Max, Min or Value.
    static FlatProg* Restore(const QVariantMap& bag, QWidget* parent = nullptr,
                             QString* error = nullptr);

    quint32 BackColor() const { return backColor_; }
    bool Enabled() const;
    qint16 BorderStyle() const { return borderStyle_; }
    quint32 FillColor() const { return fillColor_; }
    qint32 Max() const;
    qint32 Min() const;
    qint32 Value() const;

    // The colour setters refuse a system colour index that does not exist; BorderStyle takes
    // only 0 (none) and 1 (fixed single). A refused value changes nothing and notifies nothing.
    bool SetBackColor(quint32 color);
    void SetEnabled(bool enabled);
    bool SetBorderStyle(qint16 style);
    bool SetFillColor(quint32 color);
    // False on overflow at the 32-bit ends (Min at the largest value, Max at the smallest):
    // no range fits, and nothing changes.
    bool SetMax(qint32 max);
    bool SetMin(qint32 min);
    void SetValue(qint32 value);

    // Reads every property from the bag, a missing one taking its default. Max, Min and Value
    // are stored as they are, without the setters' checks, and the bar keeps its share. An
    // entry of the wrong type or out of range takes its default too; then the result is false
    // and error names the entries.
    bool Load(const QVariantMap& bag, QString* error = nullptr);
    QVariantMap Save() const;

    // The share of the range last drawn, and the bar's width in pixels at the current size.
    double Fraction() const;
    int BarWidth() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // Every property write, under the property's own name, so that a host can save it.
    void PropertyChanged(const QString& name);
    void BackColorChanged();
    void EnabledChanged();
    void BorderStyleChanged();
    void FillColorChanged();
    void MaxChanged();
    void MinChanged();
    void ValueChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct RestoreTag {};
    FlatProg(RestoreTag, QWidget* parent);

    void Notify(void (FlatProg::*changed)(), QLatin1String name);
    bool SetColor(quint32& field, quint32 color, void (FlatProg::*changed)(), QLatin1String name);
    void OnRangeWrite(RangeField which);

    std::unique_ptr<ProgressRange> range_;
    quint32 backColor_ = kDefaultBackColor;
    quint32 fillColor_ = kDefaultFillColor;
    qint16 borderStyle_ = kBorderFixedSingle;
};

}  // namespace corvane::ombrel
