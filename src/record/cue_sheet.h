#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace corvane::record {

struct CueTrack {
    QString title;
    int64_t frame = 0;  // where the song starts in the recording, in sample frames
};

// A track list for the recording named `audioFile` (a name in the same folder): one TRACK per
// song, INDEX 01 at its start rounded to the nearest CD frame (1/75 s), the exact sample frame
// kept in a REM line. `fileType` is the CUE file type ("WAVE", "MP3").
QString CueText(const QString& audioFile, const QString& fileType,
                const std::vector<CueTrack>& tracks, int rate);

// The "mm:ss:ff" of `frame` at `rate`, to the nearest 75th of a second.
QString CueIndex(int64_t frame, int rate);

}  // namespace corvane::record
