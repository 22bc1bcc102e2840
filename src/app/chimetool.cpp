// Build-time tool: writes the notification sound shipped with the program,
// a short two-note chime as a 16-bit mono wave file, so that "Play Sound" has
// a file to pick without the user hunting for one.
//
//   sentrel_chime OUTPUT.wav
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <vector>

namespace {

constexpr int Rate = 44100;

void putLE(std::vector<char> &out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(char((value >> (8 * i)) & 0xff));
}

// A bell-like note: the fundamental plus a softer octave, a 5 ms attack
// (no click) and an exponential decay.
void addNote(std::vector<double> &samples, double startSeconds, double frequency, double seconds)
{
    const auto start = std::size_t(startSeconds * Rate);
    const auto length = std::size_t(seconds * Rate);
    if (samples.size() < start + length)
        samples.resize(start + length, 0.0);
    for (std::size_t i = 0; i < length; ++i) {
        const double t = double(i) / Rate;
        const double attack = std::min(1.0, t / 0.005);
        const double envelope = attack * std::exp(-t * 6.0);
        const double w = 2 * std::numbers::pi * frequency * t;
        samples[start + i] += envelope * (0.8 * std::sin(w) + 0.2 * std::sin(2 * w));
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: sentrel_chime OUTPUT.wav\n");
        return 2;
    }
    std::vector<double> samples;
    addNote(samples, 0.00, 1318.51, 0.9); // E6
    addNote(samples, 0.15, 1760.00, 1.0); // A6

    std::vector<char> pcm;
    for (double s : samples) {
        const double clipped = std::max(-1.0, std::min(1.0, s * 0.45));
        putLE(pcm, std::uint32_t(std::int16_t(std::lround(clipped * 32767))) & 0xffff, 2);
    }
    std::vector<char> wav;
    const auto tag = [&](const char *four) { wav.insert(wav.end(), four, four + 4); };
    tag("RIFF");
    putLE(wav, std::uint32_t(36 + pcm.size()), 4);
    tag("WAVE");
    tag("fmt ");
    putLE(wav, 16, 4);       // chunk size
    putLE(wav, 1, 2);        // PCM
    putLE(wav, 1, 2);        // mono
    putLE(wav, Rate, 4);     // sample rate
    putLE(wav, Rate * 2, 4); // bytes per second
    putLE(wav, 2, 2);        // block align
    putLE(wav, 16, 2);       // bits per sample
    tag("data");
    putLE(wav, std::uint32_t(pcm.size()), 4);
    wav.insert(wav.end(), pcm.begin(), pcm.end());

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(wav.data(), std::streamsize(wav.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "sentrel_chime: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
