#include "bellsound.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

bool writeBellSound(const QString& path)
{
    constexpr int rate = 22050;
    constexpr double seconds = 1.2;
    const int samples = int(rate * seconds);
    QByteArray pcm;
    pcm.reserve(samples * 2);
    for (int i = 0; i < samples; ++i) {
        const double t = double(i) / rate;
        // Two decaying partials a fifth apart, the second struck a little later.
        double v = 0.5 * std::sin(2 * M_PI * 880 * t) * std::exp(-3.0 * t);
        if (t > 0.25)
            v += 0.4 * std::sin(2 * M_PI * 1320 * (t - 0.25)) * std::exp(-3.5 * (t - 0.25));
        const auto s = qint16(std::lround(qBound(-1.0, v, 1.0) * 30000));
        pcm.append(char(s & 0xFF));
        pcm.append(char((s >> 8) & 0xFF));
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&f);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + pcm.size());
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(rate) << quint32(rate * 2) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(pcm.size());
    out.writeRawData(pcm.constData(), int(pcm.size()));
    return out.status() == QDataStream::Ok;
}
