// The Windows Media Player collector: its application data, the skins and
// visualizations of the installation, and the playlists of the rip folder.
#pragma once

#include "archive/entries.h"

namespace zq {

// Runs only when the installation folder and the rip folder's "playlists"
// folder both exist; then tries all four parts ("data", "skins",
// "visualizations", "libraries" with the "*.wpl" files) in that order and
// succeeds when any of them was stored. Announces nothing.
bool collectWindowsMediaPlayer(Entries& entries);

}  // namespace zq
