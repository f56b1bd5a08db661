// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <vector>

// One generated resource: a name for messages and the function that writes it into a folder.
struct ArtworkWriter {
    QString name;
    std::function<bool(const QString& folder)> write;
};

// Every area adds its writers here (see the registration in each artwork_*.cpp).
std::vector<ArtworkWriter>& artworkWriters();

struct ArtworkRegistration {
    ArtworkRegistration(QString name, std::function<bool(const QString&)> write) {
        artworkWriters().push_back({std::move(name), std::move(write)});
    }
};
