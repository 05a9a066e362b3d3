// Records a tone in real time (null output) to a WAV in the folder given, says so on stdout
// and goes on until it is killed; the test kills it mid-recording. Ends by itself after 60 s.
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

#include "audio/engine.h"
#include "audio/media_player.h"
#include "record/recorder.h"
#include "record_support.h"

using namespace corvane;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) return 2;
    audio::EngineOptions options;
    options.output = audio::OutputKind::Null;
    audio::Engine engine(options, record::testing::ToneFactory(120));
    record::Recorder recorder(&engine, record::testing::TitleOf);
    audio::MediaPlayer* player = engine.Player(1);
    QObject::connect(player, &audio::MediaPlayer::OpenStateChanged, &app, [&](int, int, int state) {
        if (state != audio::MediaPlayer::kOpen) return;
        player->Play();
        QString error;
        if (!recorder.Start({QString::fromLocal8Bit(argv[1]), record::Format::Wav16, 0}, &error)) {
            std::printf("failed %s\n", qPrintable(error));
            std::fflush(stdout);
            app.exit(1);
            return;
        }
        std::printf("recording %s\n", qPrintable(recorder.FilePath()));
        std::fflush(stdout);
    });
    player->OpenFile(QStringLiteral("/songs/Long-440.tone"));
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    return app.exec();
}
