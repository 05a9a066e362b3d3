// End to end: a drag on line 3's real slider changes what Player(3) contributes to the
// rendered output by exactly the gain the volume law gives.
#include <QMouseEvent>
#include <QTest>
#include <cmath>
#include <vector>

#include "app/line_strip.h"
#include "appearance/ui/minislider.h"
#include "engine/desk.h"
#include "support/mainform_support.h"

namespace corvane::app::testing {
namespace {

double Rms(const std::vector<float>& samples) {
    double sum = 0.0;
    for (float s : samples) sum += double(s) * s;
    return std::sqrt(sum / double(samples.size()));
}

class MainFormEndToEnd : public MainFormTest {
protected:
    // Renders `frames`, then keeps only the last `measured` frames: gain changes ramp over one
    // buffer, so the first ones are left out.
    std::vector<float> Render(int frames, int measured) {
        std::vector<float> out(static_cast<size_t>(frames) * 2);
        for (int done = 0; done < frames; done += 512)
            engine_->RenderOffline(out.data() + 2 * done, std::min(512, frames - done));
        QCoreApplication::processEvents();
        return {out.end() - 2 * measured, out.end()};
    }
};

void Move(QWidget* widget, QPoint at) {
    QMouseEvent event(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

TEST_F(MainFormEndToEnd, SliderDragOnLineThreeChangesItsGainByTheLaw) {
    ASSERT_TRUE(Load(3, "sine1k_44100_stereo_s16.wav"));
    MainForm& form = Form();
    form.show();
    appearance::MiniSlider* slider = form.Strip(3)->Slider();
    ASSERT_EQ(slider->Value(), 80);
    form.Desk().Play(3);
    const double before = Rms(Render(8192, 4096));
    ASSERT_GT(before, 0.1);
    EXPECT_EQ(engine_->Player(3)->Volume(), -332);

    // Take the knob a few pixels below its top edge and pull it 21 pixels (315 twips) down:
    // knob top 213 + 315 = 528 twips, value 100 - 528 / 10.65 = 50.4, so 50.
    const QPoint grab(slider->width() / 2, int(slider->KnobTop() / 15.0) + 4);
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, grab);
    for (int dy = 3; dy <= 21; dy += 3) Move(slider, grab + QPoint(0, dy));
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, grab + QPoint(0, 21));
    ASSERT_EQ(slider->Value(), 50);
    EXPECT_EQ(settings_.GetInt(keys::SliderKey(3)), 50);

    // Slider 50 is step 17, -15.47 dB; slider 80 was step 27, -3.32 dB.
    const double after = Rms(Render(8192, 4096));
    const double expected = std::pow(10.0, (-1547 - -332) / 2000.0);
    EXPECT_NEAR(after / before, expected, 1e-3);
}

}  // namespace
}  // namespace corvane::app::testing
