// tvx_song SCORE.score OUT.ogg: renders a song from its text score into a
// stereo 44100 Hz Ogg Vorbis file exactly one loop long, whose end runs on
// into its start. A fault in the score is printed as "file:line: message".
#include "synth.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tvx_song SCORE.score OUT.ogg\n");
        return 2;
    }
    std::string sText, sError;
    synth::stSong tSong;
    synth::stBuffer tSound;
    if (!synth::read_text(argv[1], sText, sError) || !synth::parse_song(sText, argv[1], tSong, sError)) {
        std::fprintf(stderr, "%s\n", sError.c_str());
        return 1;
    }
    if (!synth::render_song(tSong, tSound, sError)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], sError.c_str());
        return 1;
    }
    if (!synth::write_sound(tSound, argv[2], SF_FORMAT_OGG | SF_FORMAT_VORBIS, tSong.dQuality, sError)) {
        std::fprintf(stderr, "%s\n", sError.c_str());
        return 1;
    }
    return 0;
}
