#include "ombrel/flatprog.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>
#include <limits>

#include "ombrel/color.h"
#include "progressrange.h"
#include "propertybag.h"

namespace corvane::ombrel {

namespace {

const QLatin1String kBackColorName("BackColor");
const QLatin1String kEnabledName("Enabled");
const QLatin1String kBorderStyleName("BorderStyle");
const QLatin1String kFillColorName("FillColor");
const QLatin1String kMaxName("Max");
const QLatin1String kMinName("Min");
const QLatin1String kValueName("Value");

constexpr qint32 kDefaultMax = 100;
constexpr qint32 kDefaultMin = 0;
constexpr qint32 kDefaultValue = 50;

// The system's window-frame colour, which a fixed single border is drawn in.
constexpr quint32 kWindowFrameColor = kSystemColorFlag | 6u;

bool IsValidBorderStyle(qint64 style) {
    return style == FlatProg::kBorderNone || style == FlatProg::kBorderFixedSingle;
}

quint32 ReadColor(BagReader& reader, QLatin1String key, quint32 fallback) {
    const auto value = static_cast<quint32>(reader.Number(
        key, fallback, std::numeric_limits<qint32>::min(), std::numeric_limits<quint32>::max()));
    if (!IsValidColorValue(value)) {
        reader.Reject(key);
        return fallback;
    }
    return value;
}

qint32 ReadInt32(BagReader& reader, QLatin1String key, qint32 fallback) {
    return static_cast<qint32>(reader.Number(key, fallback, std::numeric_limits<qint32>::min(),
                                             std::numeric_limits<qint32>::max()));
}

}  // namespace

FlatProg::FlatProg(RestoreTag, QWidget* parent)
    : QWidget(parent),
      range_(std::make_unique<ProgressRange>([this](RangeField which) { OnRangeWrite(which); })) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

FlatProg::FlatProg(QWidget* parent) : FlatProg(RestoreTag{}, parent) {
    range_->Load(kDefaultMax, kDefaultMin, kDefaultValue);
    range_->UpdateFraction();
}

FlatProg::~FlatProg() = default;

FlatProg* FlatProg::Restore(const QVariantMap& bag, QWidget* parent, QString* error) {
    auto* control = new FlatProg(RestoreTag{}, parent);
    control->Load(bag, error);
    return control;
}

bool FlatProg::Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }

qint32 FlatProg::Max() const { return range_->Max(); }

qint32 FlatProg::Min() const { return range_->Min(); }

qint32 FlatProg::Value() const { return range_->Value(); }

double FlatProg::Fraction() const { return range_->Fraction(); }

void FlatProg::Notify(void (FlatProg::*changed)(), QLatin1String name) {
    Q_EMIT(this->*changed)();
    Q_EMIT PropertyChanged(name);
}

bool FlatProg::SetColor(quint32& field, quint32 color, void (FlatProg::*changed)(),
                        QLatin1String name) {
    if (!IsValidColorValue(color)) {
        return false;
    }
    field = color;
    update();
    Notify(changed, name);
    return true;
}

bool FlatProg::SetBackColor(quint32 color) {
    return SetColor(backColor_, color, &FlatProg::BackColorChanged, kBackColorName);
}

bool FlatProg::SetFillColor(quint32 color) {
    return SetColor(fillColor_, color, &FlatProg::FillColorChanged, kFillColorName);
}

void FlatProg::SetEnabled(bool enabled) {
    setEnabled(enabled);
    Notify(&FlatProg::EnabledChanged, kEnabledName);
}

bool FlatProg::SetBorderStyle(qint16 style) {
    if (!IsValidBorderStyle(style)) {
        return false;
    }
    borderStyle_ = style;
    update();
    Notify(&FlatProg::BorderStyleChanged, kBorderStyleName);
    return true;
}

bool FlatProg::SetMax(qint32 max) {
    const bool done = range_->SetMax(max);
    update();
    return done;
}

bool FlatProg::SetMin(qint32 min) {
    const bool done = range_->SetMin(min);
    update();
    return done;
}

void FlatProg::SetValue(qint32 value) {
    range_->SetValue(value);
    update();
}

void FlatProg::OnRangeWrite(RangeField which) {
    switch (which) {
        case RangeField::Max:
            Notify(&FlatProg::MaxChanged, kMaxName);
            break;
        case RangeField::Min:
            Notify(&FlatProg::MinChanged, kMinName);
            break;
        case RangeField::Value:
            Notify(&FlatProg::ValueChanged, kValueName);
            break;
    }
}

bool FlatProg::Load(const QVariantMap& bag, QString* error) {
    BagReader reader(bag);
    backColor_ = ReadColor(reader, kBackColorName, kDefaultBackColor);
    setEnabled(reader.Boolean(kEnabledName, true));
    const qint64 style =
        reader.Number(kBorderStyleName, kBorderFixedSingle, std::numeric_limits<qint16>::min(),
                      std::numeric_limits<qint16>::max());
    if (IsValidBorderStyle(style)) {
        borderStyle_ = static_cast<qint16>(style);
    } else {
        reader.Reject(kBorderStyleName);
        borderStyle_ = kBorderFixedSingle;
    }
    fillColor_ = ReadColor(reader, kFillColorName, kDefaultFillColor);
    const qint32 max = ReadInt32(reader, kMaxName, kDefaultMax);
    const qint32 min = ReadInt32(reader, kMinName, kDefaultMin);
    const qint32 value = ReadInt32(reader, kValueName, kDefaultValue);
    range_->Load(max, min, value);
    update();

    if (reader.Rejected().isEmpty()) {
        return true;
    }
    if (error != nullptr) {
        *error = QStringLiteral("Unreadable FlatProg properties, defaults used: %1")
                     .arg(reader.Rejected().join(QLatin1String(", ")));
    }
    return false;
}

QVariantMap FlatProg::Save() const {
    return {
        {kBackColorName, backColor_},
        {kEnabledName, Enabled()},
        {kBorderStyleName, int{borderStyle_}},
        {kFillColorName, fillColor_},
        {kMaxName, Max()},
        {kMinName, Min()},
        {kValueName, Value()},
    };
}

QSize FlatProg::sizeHint() const { return {120, 17}; }

int FlatProg::BarWidth() const {
    // Laid out from the stored share, so a resize never recomputes it; widths past the box
    // (a Value outside a loaded range) are cut to the box.
    const double width = std::nearbyint(this->width() * range_->Fraction());
    return width <= 0.0 ? 0 : width >= this->width() ? this->width() : static_cast<int>(width);
}

void FlatProg::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QPalette& colors = palette();
    const QRect box = rect();
    painter.fillRect(box, ToQColor(backColor_, colors));

    const bool bordered = borderStyle_ == kBorderFixedSingle;
    const QRect inside = bordered ? box.adjusted(1, 1, -1, -1) : box;
    painter.setClipRect(inside);
    painter.fillRect(QRect(inside.left(), inside.top(), BarWidth(), box.height()),
                     ToQColor(fillColor_, colors));
    if (bordered) {
        painter.setClipping(false);
        painter.setPen(ToQColor(kWindowFrameColor, colors));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
    }
}

}  // namespace corvane::ombrel
