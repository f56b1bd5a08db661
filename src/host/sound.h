#pragma once

#include <QString>
#include <memory>

class QSoundEffect;

class Sound {
public:
    virtual ~Sound() = default;
    // Starts playing the file and returns at once; when it cannot be played, the system beep sounds.
    virtual void playAsync(const QString& path) = 0;
    virtual void beep() = 0;
};

class QtSound final : public Sound {
public:
    QtSound();
    ~QtSound() override;
    void playAsync(const QString& path) override;
    void beep() override;

private:
    std::unique_ptr<QSoundEffect> m_effect;
};
