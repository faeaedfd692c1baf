// tvx_sfx RECIPE.sfx OUT.wav: synthesises one sound effect from its recipe
// into a 16-bit 44100 Hz WAV file. Exit status 0 only when the whole file was
// written; a fault in the recipe is printed as "file:line: message".
#include "synth.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tvx_sfx RECIPE.sfx OUT.wav\n");
        return 2;
    }
    std::string sText, sError;
    synth::stSfx tSfx;
    synth::stBuffer tSound;
    if (!synth::read_text(argv[1], sText, sError) || !synth::parse_sfx(sText, argv[1], tSfx, sError)) {
        std::fprintf(stderr, "%s\n", sError.c_str());
        return 1;
    }
    if (!synth::render_sfx(tSfx, tSound, sError)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], sError.c_str());
        return 1;
    }
    if (!synth::write_sound(tSound, argv[2], SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, sError)) {
        std::fprintf(stderr, "%s\n", sError.c_str());
        return 1;
    }
    return 0;
}
