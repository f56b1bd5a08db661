// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/tray.h"

#include <QIcon>
#include <QImage>
#include <QMenu>
#include <memory>
#include <vector>

// A notification area that records every call; the record outlives the icons.
struct TrayLog {
    struct Notify {
        int iconId;
        int message;
        QImage picture;
        QString tooltip;
    };
    std::vector<Notify> notifies;
    int created = 0;
    int alive = 0;
    int popups = 0;
    QMenu* lastMenu = nullptr;
    QMenu* exportedMenu = nullptr;
    bool areaPresent = true;
    TrayIcon* last = nullptr;

    int count(int message) const {
        int n = 0;
        for (const auto& each : notifies)
            n += each.message == message;
        return n;
    }
};

class RecordingTrayIcon final : public TrayIcon {
  public:
    RecordingTrayIcon(TrayLog& log, int id) : m_log(log), m_id(id) { ++m_log.alive; }
    ~RecordingTrayIcon() override {
        --m_log.alive;
        if (m_log.last == this)
            m_log.last = nullptr;
    }
    bool notify(int message, const QIcon& icon, const QString& tooltip) override {
        m_log.notifies.push_back({m_id, message, icon.pixmap(32, 32).toImage(), tooltip});
        return true;
    }
    void setMenu(QMenu* menu) override { m_log.exportedMenu = menu; }
    bool areaPresent() const override { return m_log.areaPresent; }
    void popUpMenu(QMenu* menu) override {
        ++m_log.popups;
        m_log.lastMenu = menu;
    }

  private:
    TrayLog& m_log;
    int m_id;
};

class RecordingTrayFactory final : public TrayIconFactory {
  public:
    std::unique_ptr<TrayIcon> create() override {
        auto icon = std::make_unique<RecordingTrayIcon>(log, ++log.created);
        log.last = icon.get();
        return icon;
    }
    // A notification area comes or goes.
    void setAreaPresent(bool present) {
        log.areaPresent = present;
        if (log.last && log.last->onAreaChanged)
            log.last->onAreaChanged();
    }
    TrayLog log;
};
