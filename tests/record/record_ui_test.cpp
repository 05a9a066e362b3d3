#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTest>

#include "app/line_strip.h"
#include "app/record_wiring.h"
#include "options/ui/record_section.h"
#include "record/recorder.h"
#include "support/mainform_support.h"

namespace corvane::app {
namespace {

using RecordUiTest = testing::MainFormTest;

// Ctrl+R starts a recording into the default folder in the chosen format and stops it; the
// master strip's button is lit while it runs and the time and size show beside it.
TEST_F(RecordUiTest, CtrlRStartsAndStopsRecording) {
    settings_.SavePref(keys::kRecordFormat, QStringLiteral("wav16"));
    MainForm& form = Form();
    form.show();
    QApplication::setActiveWindow(&form);
    RecordWiring& wiring = form.Recording();
    EXPECT_EQ(wiring.Button()->parentWidget(), form.Strip(engine::Desk::kMasterLine)->SpareRow());

    QTest::keyClick(&form, Qt::Key_R, Qt::ControlModifier);
    ASSERT_TRUE(wiring.Recorder().Recording()) << messages_.join(u'\n').toStdString();
    EXPECT_TRUE(wiring.Button()->Lit());
    const QString path = wiring.Recorder().FilePath();
    EXPECT_EQ(QFileInfo(path).path(), dir_.path() + QStringLiteral("/Corvane Recordings"));
    EXPECT_EQ(QFileInfo(path).suffix(), QStringLiteral("wav"));
    std::vector<float> out(2 * 512);
    for (int done = 0; done < 3 * 44100; done += 512) engine_->RenderOffline(out.data(), 512);
    EXPECT_TRUE(WaitFor([&] { return wiring.Recorder().PendingFrames() == 0; }));

    QTest::keyClick(&form, Qt::Key_R, Qt::ControlModifier);
    EXPECT_FALSE(wiring.Recorder().Recording());
    EXPECT_FALSE(wiring.Button()->Lit());
    // 259 buffers of 512 frames: 3.007 s, 44 + 132608 * 4 bytes.
    EXPECT_EQ(wiring.Elapsed()->text(), QStringLiteral("0:00:03"));
    EXPECT_EQ(wiring.Size()->text(), QStringLiteral("530 kB"));
    EXPECT_EQ(QFileInfo(path).size(), 530476);
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join(u'\n').toStdString();
}

// A folder that cannot be made is one message, and nothing records.
TEST_F(RecordUiTest, UnusableFolderIsOneMessage) {
    QFile blocker(dir_.filePath(QStringLiteral("plain file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    settings_.SavePref(keys::kRecordFolder, blocker.fileName() + QStringLiteral("/rec"));
    Form().Recording().Toggle();
    EXPECT_FALSE(Form().Recording().Recorder().Recording());
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].startsWith(QStringLiteral("Cannot record to ")));
}

// The Options dialog's Record box stores the format at once and offers the bit rate only
// where the format has one.
TEST_F(RecordUiTest, RecordSectionStoresTheFormat) {
    options::RecordSection section(settings_);
    EXPECT_EQ(section.FormatBox()->currentData().toString(), QStringLiteral("FLAC"));
    EXPECT_FALSE(section.BitrateBox()->isEnabled());
    const int mp3 = section.FormatBox()->findData(QStringLiteral("MP3"));
    section.FormatBox()->setCurrentIndex(mp3);
    Q_EMIT section.FormatBox()->activated(mp3);
    EXPECT_EQ(settings_.GetText(keys::kRecordFormat), QStringLiteral("MP3"));
    EXPECT_TRUE(section.BitrateBox()->isEnabled());
}

}  // namespace
}  // namespace corvane::app
