// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/artwork.h"

std::vector<ArtworkWriter>& artworkWriters() {
    static std::vector<ArtworkWriter> writers;
    return writers;
}
