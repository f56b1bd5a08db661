#include "generator/artwork.h"

std::vector<ArtworkWriter>& artworkWriters() {
    static std::vector<ArtworkWriter> writers;
    return writers;
}
