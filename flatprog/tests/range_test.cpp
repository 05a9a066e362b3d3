#include <gtest/gtest.h>

#include <QSignalSpy>
#include <limits>

#include "ombrel/flatprog.h"

namespace corvane::ombrel {
namespace {

constexpr qint32 kInt32Max = std::numeric_limits<qint32>::max();
constexpr qint32 kInt32Min = std::numeric_limits<qint32>::min();

QVariantMap Range(qint32 max, qint32 min, qint32 value) {
    return {{QStringLiteral("Max"), max},
            {QStringLiteral("Min"), min},
            {QStringLiteral("Value"), value}};
}

struct Numbers {
    qint32 max, min, value;
    bool operator==(const Numbers&) const = default;
};

Numbers Of(const FlatProg& bar) { return {bar.Max(), bar.Min(), bar.Value()}; }

void PrintTo(const Numbers& n, std::ostream* os) {
    *os << "Max " << n.max << ", Min " << n.min << ", Value " << n.value;
}

TEST(FlatProgRange, RangeWidensToKeepValueAndValueIsClamped) {
    {
        FlatProg bar;  // a new Max below Value stops at Value
        EXPECT_TRUE(bar.SetMax(10));
        EXPECT_EQ(Of(bar), (Numbers{50, 0, 50}));
        EXPECT_DOUBLE_EQ(bar.Fraction(), 1.0);
    }
    {
        FlatProg bar;  // a Max on Min moves one above it
        ASSERT_TRUE(bar.SetMin(5));
        bar.SetValue(5);
        EXPECT_TRUE(bar.SetMax(5));
        EXPECT_EQ(Of(bar), (Numbers{6, 5, 5}));
    }
    FlatProg bar;  // a new Min above Value stops at Value
    EXPECT_TRUE(bar.SetMin(60));
    EXPECT_EQ(Of(bar), (Numbers{100, 50, 50}));
}

TEST(FlatProgRange, EmptyLogGivesTheSmallestValidRange) {
    // The log viewer sets Min 1 and Max to the number of entries, which may be 0.
    FlatProg bar;
    ASSERT_TRUE(bar.SetMin(1));
    ASSERT_TRUE(bar.SetMax(0));
    EXPECT_EQ(Of(bar), (Numbers{50, 1, 50}));  // Value 50 is larger than Min + 1

    bar.SetValue(1);
    ASSERT_TRUE(bar.SetMax(0));
    EXPECT_EQ(Of(bar), (Numbers{2, 1, 1}));
    bar.SetValue(30);
    EXPECT_EQ(bar.Value(), 2);
}

TEST(FlatProgRange, EveryWriteIsNotifiedUnderItsName) {
    FlatProg bar;
    QSignalSpy names(&bar, &FlatProg::PropertyChanged);
    QSignalSpy maxChanged(&bar, &FlatProg::MaxChanged);
    ASSERT_TRUE(bar.SetMax(10));  // the written 10, then Value's 50
    ASSERT_EQ(names.count(), 2);
    EXPECT_EQ(names.at(0).at(0).toString(), QStringLiteral("Max"));
    EXPECT_EQ(names.at(1).at(0).toString(), QStringLiteral("Max"));
    EXPECT_EQ(maxChanged.count(), 2);

    names.clear();
    EXPECT_TRUE(bar.setProperty("Value", 20));  // through the meta-object, as a host would
    EXPECT_EQ(bar.Value(), 20);
    ASSERT_EQ(names.count(), 1);
    EXPECT_EQ(names.at(0).at(0).toString(), QStringLiteral("Value"));

    names.clear();
    bar.SetEnabled(false);
    EXPECT_FALSE(bar.isEnabled());
    ASSERT_EQ(names.count(), 1);
    EXPECT_EQ(names.at(0).at(0).toString(), QStringLiteral("Enabled"));
}

TEST(FlatProgRange, OverflowAtTheEndsIsRefusedAndChangesNothing) {
    // Only saved numbers can put Min at the top or Max at the bottom of the 32-bit range.
    std::unique_ptr<FlatProg> top(FlatProg::Restore(Range(5, kInt32Max, 0)));
    QSignalSpy topNames(top.get(), &FlatProg::PropertyChanged);
    EXPECT_FALSE(top->SetMax(10));
    EXPECT_FALSE(top->SetMax(kInt32Max));
    EXPECT_EQ(Of(*top), (Numbers{5, kInt32Max, 0}));
    EXPECT_EQ(topNames.count(), 0);
    EXPECT_TRUE(top->SetMin(0));  // the way out
    EXPECT_EQ(Of(*top), (Numbers{5, 0, 0}));

    std::unique_ptr<FlatProg> bottom(FlatProg::Restore(Range(kInt32Min, 0, 0)));
    EXPECT_FALSE(bottom->SetMin(-10));
    EXPECT_EQ(Of(*bottom), (Numbers{kInt32Min, 0, 0}));
    EXPECT_TRUE(bottom->SetMax(100));
    EXPECT_EQ(Of(*bottom), (Numbers{100, 0, 0}));
}

TEST(FlatProgRange, ExtremeValuesFromAValidRangeStayValid) {
    FlatProg bar;
    EXPECT_TRUE(bar.SetMin(kInt32Max));
    EXPECT_EQ(Of(bar), (Numbers{100, 50, 50}));
    EXPECT_TRUE(bar.SetMax(kInt32Min));
    EXPECT_EQ(Of(bar), (Numbers{51, 50, 50}));
    bar.SetValue(kInt32Max);
    EXPECT_EQ(bar.Value(), 51);
    bar.SetValue(kInt32Min);
    EXPECT_EQ(bar.Value(), 50);
}

TEST(FlatProgRange, SpanBeyond32BitsKeepsTheBar) {
    FlatProg bar;
    bar.resize(200, 10);
    ASSERT_EQ(bar.BarWidth(), 100);
    ASSERT_TRUE(bar.SetMin(kInt32Min));  // Value - Min no longer fits
    ASSERT_TRUE(bar.SetMax(kInt32Max));
    EXPECT_DOUBLE_EQ(bar.Fraction(), 0.5);
    EXPECT_EQ(bar.BarWidth(), 100);
    ASSERT_TRUE(bar.SetMin(0));  // fits again
    EXPECT_DOUBLE_EQ(bar.Fraction(), 50.0 / kInt32Max);
    EXPECT_EQ(bar.BarWidth(), 0);
}

TEST(FlatProgRange, LoadStoresNumbersWithoutChecksOrDrawing) {
    std::unique_ptr<FlatProg> fresh(FlatProg::Restore(Range(10, 10, 10)));
    fresh->resize(200, 10);
    EXPECT_EQ(Of(*fresh), (Numbers{10, 10, 10}));
    EXPECT_DOUBLE_EQ(fresh->Fraction(), 0.0);
    EXPECT_EQ(fresh->BarWidth(), 0);
    fresh->SetValue(10);  // empty range: no failure, the bar stays
    EXPECT_EQ(fresh->BarWidth(), 0);
    ASSERT_TRUE(fresh->SetMax(20));
    EXPECT_EQ(fresh->BarWidth(), 0);  // Value 10 is at Min
    fresh->SetValue(15);
    EXPECT_EQ(fresh->BarWidth(), 100);

    FlatProg shown;  // loading over a drawn control keeps its bar
    shown.resize(200, 10);
    ASSERT_TRUE(shown.Load(Range(1000, 0, 1000)));
    EXPECT_DOUBLE_EQ(shown.Fraction(), 0.5);
    shown.resize(300, 10);
    EXPECT_EQ(shown.BarWidth(), 150);
}

TEST(FlatProgRange, ValueSetterEndsOnALoadedInvertedRange) {
    std::unique_ptr<FlatProg> bar(FlatProg::Restore(Range(5, 10, 7)));
    bar->SetValue(7);
    EXPECT_EQ(Of(*bar), (Numbers{5, 10, 10}));
    EXPECT_TRUE(bar->SetMax(3));  // the range setters repair it
    EXPECT_EQ(Of(*bar), (Numbers{11, 10, 10}));
}

}  // namespace
}  // namespace corvane::ombrel
