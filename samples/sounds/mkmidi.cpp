// Writes a one-track Standard MIDI File from a readable note list (see melody.txt).
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

constexpr int kTicksPerQuarter = 480;

void putVarLen(std::vector<uint8_t>& out, uint32_t value)
{
    uint8_t bytes[4];
    int n = 0;
    do {
        bytes[n++] = uint8_t(value & 0x7F);
        value >>= 7;
    } while (value);
    while (n-- > 0)
        out.push_back(uint8_t(bytes[n] | (n ? 0x80 : 0)));
}

void putBigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(uint8_t(value >> (8 * i)));
}

// "C5", "F#4", "Bb3" → MIDI note number (C4 = 60).
int noteNumber(const std::string& name)
{
    static const int base[] = {9, 11, 0, 2, 4, 5, 7}; // A..G
    if (name.empty() || name[0] < 'A' || name[0] > 'G')
        return -1;
    int note = base[name[0] - 'A'];
    size_t i = 1;
    if (i < name.size() && (name[i] == '#' || name[i] == 'b'))
        note += name[i++] == '#' ? 1 : -1;
    return note + 12 * (std::stoi(name.substr(i)) + 1);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: mkmidi notes.txt out.mid\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 1;
    }
    std::vector<uint8_t> track;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string word;
        if (!(words >> word) || word[0] == '#')
            continue;
        int a = 0;
        int b = 100;
        words >> a >> b;
        if (word == "tempo") {
            putVarLen(track, 0);
            track.insert(track.end(), {0xFF, 0x51, 0x03});
            putBigEndian(track, uint32_t(60000000 / a), 3);
        } else if (word == "program") {
            putVarLen(track, 0);
            track.insert(track.end(), {0xC0, uint8_t(a & 0x7F)});
        } else {
            const int note = noteNumber(word);
            if (note < 0 || note > 127 || a <= 0) {
                std::cerr << "bad note line: " << line << "\n";
                return 1;
            }
            putVarLen(track, 0);
            track.insert(track.end(), {0x90, uint8_t(note), uint8_t(b & 0x7F)});
            putVarLen(track, uint32_t(a));
            track.insert(track.end(), {0x80, uint8_t(note), 0x40});
        }
    }
    putVarLen(track, kTicksPerQuarter); // let the last note ring out
    track.insert(track.end(), {0xFF, 0x2F, 0x00});

    std::vector<uint8_t> file = {'M', 'T', 'h', 'd'};
    putBigEndian(file, 6, 4);
    putBigEndian(file, 0, 2); // format 0
    putBigEndian(file, 1, 2); // one track
    putBigEndian(file, kTicksPerQuarter, 2);
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    putBigEndian(file, uint32_t(track.size()), 4);
    file.insert(file.end(), track.begin(), track.end());

    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    return out ? 0 : 1;
}
