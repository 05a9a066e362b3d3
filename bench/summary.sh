#!/bin/bash
# Every figure of the summary table in doc/PERFORMANCE.md in one run: the benchmarks with their
# floors (medians of three), the drag over a real sound device and the start-up figures.
# Run it on a quiet machine; the output is what the table records.
# Usage: bench/summary.sh [build dir]   (default: build)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
figures='BM_LoadPlaylistM3U/100000|BM_ReadLinesFloor/100000|BM_LoadPlaylistPLS/100000'
figures+='|BM_SavePlaylistM3U/100000|BM_SavePlaylistPLS/100000|BM_ReadIniLog/100000'
figures+='|BM_ReadIniLogFloor/100000|BM_RenderEightPlayers|BM_DecodeFloor8|BM_OpenToReady'
figures+='|BM_CrossfaderStep|BM_ChooseNextSongSmartRandom/100000|BM_ChooseNextSongFloor/100000'
figures+='|BM_LogSong/1000$|BM_LogSong/100000|BM_WriteIniLogFloor/1000$|BM_WriteIniLogFloor/100000'
figures+='|BM_Refresh1/100000|BM_Refresh1Floor/100000|BM_RefreshListing/100000'
figures+='|BM_ExportTextLog/100000|BM_IndexMusicFolder|BM_ListMusicFolderFloor|BM_FindMissingEntry'
QT_QPA_PLATFORM=offscreen "$build/bin/corvane-bench" --benchmark_filter="$figures" \
    --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
"$here/drag_underruns.sh" "$build"
"$here/startup.sh" "$build" 12
