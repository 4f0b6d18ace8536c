#pragma once

#include <QObject>
#include <QString>

namespace tarvik::tasks {

// The sound player of the main program: the one place that plays a sound
// file. Set up once after login; when that fails the sound-available mark
// stays clear for the whole run and nothing is ever played.
class TfmMP : public QObject
{
    Q_OBJECT
public:
    explicit TfmMP(QObject* parent = nullptr);

    // Sets the sound-available mark when the platform can play sounds;
    // failing is silent. Gives the mark.
    bool setUp();
    [[nodiscard]] bool soundAvailable() const { return m_available; }

    // Cuts off the sound still playing and starts this file without waiting
    // for it to end. False when the file could not be opened or the mark is
    // clear (then nothing is tried); the caller decides what to show.
    bool play(const QString& path);
    void stop();

private:
    bool m_available = false;
};

} // namespace tarvik::tasks
