// The ten short sounds, synthesised: 16-bit mono PCM at 22050 Hz in a plain RIFF/WAVE file.
#include <QRandomGenerator>
#include <QtEndian>
#include <cmath>
#include <vector>

#include "art.h"

namespace resgen {

namespace {

constexpr int kRate = 22050;
using Wave = std::vector<double>;   // samples in -1 .. 1

// A tone with a quick attack and an exponential decay; harmonics give it a bell or a plucked
// colour.
Wave tone(double freq, double sec, double decay, double amp = 0.5, double harm2 = 0.3, double harm3 = 0.1)
{
    Wave w(size_t(sec * kRate));
    for (size_t i = 0; i < w.size(); ++i) {
        const double t = double(i) / kRate;
        const double env = std::min(1.0, t / 0.004) * std::exp(-t * decay);
        w[i] = amp * env *
               (std::sin(2 * M_PI * freq * t) + harm2 * std::sin(4 * M_PI * freq * t) + harm3 * std::sin(6 * M_PI * freq * t)) /
               (1 + harm2 + harm3);
    }
    return w;
}

// A pitch glide from f0 to f1.
Wave glide(double f0, double f1, double sec, double amp = 0.45)
{
    Wave w(size_t(sec * kRate));
    double phase = 0;
    for (size_t i = 0; i < w.size(); ++i) {
        const double t = double(i) / kRate, u = t / sec;
        const double f = f0 * std::pow(f1 / f0, u);
        phase += 2 * M_PI * f / kRate;
        const double env = std::min(1.0, t / 0.01) * std::min(1.0, (sec - t) / 0.04);
        w[i] = amp * env * (std::sin(phase) + 0.25 * std::sin(2 * phase)) / 1.25;
    }
    return w;
}

// Noise through a one-pole low-pass: a card snap when short, a rumble when long and dark.
Wave noise(double sec, double decay, double smooth, double amp, quint32 seed)
{
    QRandomGenerator rng(seed);
    Wave w(size_t(sec * kRate));
    double y = 0;
    for (size_t i = 0; i < w.size(); ++i) {
        const double t = double(i) / kRate;
        const double x = rng.generateDouble() * 2 - 1;
        y += (x - y) * smooth;
        w[i] = amp * y * std::min(1.0, t / 0.002) * std::exp(-t * decay);
    }
    return w;
}

void mixAt(Wave& dst, const Wave& src, double atSec)
{
    const size_t at = size_t(atSec * kRate);
    if (dst.size() < at + src.size())
        dst.resize(at + src.size(), 0.0);
    for (size_t i = 0; i < src.size(); ++i)
        dst[at + i] += src[i];
}

QByteArray wav(const Wave& w)
{
    const quint32 dataBytes = quint32(w.size() * 2);
    QByteArray out;
    out.reserve(int(44 + dataBytes));
    auto u32 = [&](quint32 v) { char b[4]; qToLittleEndian(v, b); out.append(b, 4); };
    auto u16 = [&](quint16 v) { char b[2]; qToLittleEndian(v, b); out.append(b, 2); };
    out.append("RIFF", 4);
    u32(36 + dataBytes);
    out.append("WAVE", 4);
    out.append("fmt ", 4);
    u32(16);            // size of the format block
    u16(1);             // PCM
    u16(1);             // mono
    u32(kRate);
    u32(kRate * 2);     // bytes per second
    u16(2);             // bytes per sample frame
    u16(16);            // bits per sample
    out.append("data", 4);
    u32(dataBytes);
    for (double s : w) {
        const qint16 v = qint16(std::lround(std::clamp(s, -1.0, 1.0) * 32000));
        u16(quint16(v));
    }
    return out;
}

Wave start()      // the deal: a quick riffle of card snaps
{
    Wave w;
    for (int i = 0; i < 9; ++i)
        mixAt(w, noise(0.05, 90, 0.5, 0.55, 10 + i), i * 0.045);
    return w;
}
Wave liang()      // a bright two-note chime
{
    Wave w;
    mixAt(w, tone(1318.5, 0.35, 9, 0.4), 0);
    mixAt(w, tone(1760, 0.45, 8, 0.4), 0.09);
    return w;
}
Wave outPai()     // one card slapped on the table
{
    Wave w = noise(0.09, 60, 0.6, 0.7, 3);
    mixAt(w, tone(180, 0.08, 50, 0.3, 0.1, 0), 0);
    return w;
}
Wave pass()       // a soft falling pair of notes
{
    Wave w;
    mixAt(w, tone(523.3, 0.18, 14, 0.35, 0.1, 0), 0);
    mixAt(w, tone(392, 0.25, 12, 0.35, 0.1, 0), 0.12);
    return w;
}
Wave hong10()     // a rising fanfare for the great combinations
{
    Wave w;
    const double notes[4] = {523.3, 659.3, 784, 1046.5};
    for (int i = 0; i < 4; ++i)
        mixAt(w, tone(notes[i], i == 3 ? 0.45 : 0.16, i == 3 ? 5 : 10, 0.35, 0.5, 0.25), i * 0.1);
    return w;
}
Wave zhaDan()     // an explosion: a crack then a dark rumble
{
    Wave w = noise(0.7, 5, 0.08, 0.9, 77);
    mixAt(w, noise(0.06, 40, 0.9, 0.6, 78), 0);
    mixAt(w, tone(55, 0.6, 6, 0.5, 0.4, 0.2), 0);
    return w;
}
Wave warning()    // three short high beeps
{
    Wave w;
    for (int i = 0; i < 3; ++i)
        mixAt(w, tone(1760, 0.08, 20, 0.35, 0.05, 0), i * 0.13);
    return w;
}
Wave end()        // a short closing phrase
{
    Wave w;
    const double notes[4] = {784, 659.3, 698.5, 523.3};
    const double at[4] = {0, 0.15, 0.3, 0.45};
    for (int i = 0; i < 4; ++i)
        mixAt(w, tone(notes[i], i == 3 ? 0.6 : 0.2, i == 3 ? 4 : 9, 0.35, 0.3, 0.1), at[i]);
    return w;
}
Wave pangGuanIn() { return glide(440, 990, 0.22); }   // someone comes to watch
Wave pangGuanOut() { return glide(880, 392, 0.22); }  // a watcher leaves

} // namespace

void MakeSounds(Out& out)
{
    struct Item { const char* file; Wave (*make)(); };
    static const Item items[] = {
        {"Start.wav", &start},     {"Liang.wav", &liang},     {"OutPai.wav", &outPai},
        {"Pass.wav", &pass},       {"Hong10.wav", &hong10},   {"ZhaDan.wav", &zhaDan},
        {"Warning.wav", &warning}, {"End.wav", &end},         {"PangGuanIn.wav", &pangGuanIn},
        {"PangGuanOut.wav", &pangGuanOut},
    };
    for (const Item& it : items)
        out.bytes(Root::App, QStringLiteral("Res/Sound/") + QLatin1String(it.file), wav(it.make()));
}

} // namespace resgen
