#include "sound.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int sampleRate = 44100;
constexpr double pi = 3.14159265358979323846;

// One struck bell tone: a few partials, each dying away faster the higher it lies.
double bell(double t, double frequency, double tau) {
    if (t < 0.0) return 0.0;
    struct Partial {
        double ratio, level;
    };
    static const Partial partials[] = {{1.0, 1.0}, {2.0, 0.32}, {3.01, 0.12}, {4.16, 0.06}};
    const double attack = std::min(1.0, t / 0.004); // 4 ms, soft enough not to click
    double sum = 0.0;
    for (const Partial& p : partials)
        sum += p.level * std::exp(-t * p.ratio / tau) * std::sin(2.0 * pi * frequency * p.ratio * t);
    return attack * sum;
}

void putLe16(QByteArray& out, quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void putLe32(QByteArray& out, quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

} // namespace

QByteArray alarmChimeWav() {
    // An A major arpeggio, rung twice in quick succession: 1.45 s of tone, faded out over its last
    // 250 ms, then 250 ms of exact zeros, because some players clip the final ~0.1 s of a sound.
    const double toneSeconds = 1.45;
    const double fadeSeconds = 0.25;
    const double silenceSeconds = 0.25;
    struct Note {
        double start, frequency;
    };
    const Note notes[] = {{0.00, 880.0}, {0.14, 1108.73}, {0.28, 1318.51}, {0.56, 1760.0}};

    const int toneSamples = static_cast<int>(toneSeconds * sampleRate);
    const int totalSamples = toneSamples + static_cast<int>(silenceSeconds * sampleRate);
    std::vector<double> mix(static_cast<size_t>(totalSamples), 0.0);
    for (int i = 0; i < toneSamples; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        double v = 0.0;
        for (const Note& n : notes)
            v += bell(t - n.start, n.frequency, 0.42);
        const double untilEnd = toneSeconds - t;
        if (untilEnd < fadeSeconds) v *= 0.5 - 0.5 * std::cos(pi * untilEnd / fadeSeconds);
        mix[static_cast<size_t>(i)] = v;
    }
    double peak = 0.0;
    for (double v : mix)
        peak = std::max(peak, std::fabs(v));
    const double gain = peak > 0.0 ? 0.85 * 32767.0 / peak : 0.0; // peak at about -1.4 dBFS

    QByteArray pcm;
    pcm.reserve(totalSamples * 2);
    for (double v : mix)
        putLe16(pcm, static_cast<quint16>(static_cast<qint16>(std::lround(v * gain))));

    QByteArray wav;
    wav.append("RIFF");
    putLe32(wav, static_cast<quint32>(36 + pcm.size()));
    wav.append("WAVEfmt ");
    putLe32(wav, 16);
    putLe16(wav, 1); // PCM
    putLe16(wav, 1); // mono
    putLe32(wav, sampleRate);
    putLe32(wav, sampleRate * 2); // bytes per second
    putLe16(wav, 2);              // bytes per frame
    putLe16(wav, 16);             // bits per sample
    wav.append("data");
    putLe32(wav, static_cast<quint32>(pcm.size()));
    wav.append(pcm);
    return wav;
}

QByteArray defaultLedger() {
    QByteArray out("#\th\tm\tproject\r\n\r\n");
    for (int k = 1; k <= 12; ++k)
        out += QByteArray::number(k) + "\t0\t0\tProject " + QByteArray::number(k) + "\r\n";
    return out;
}
