// The background music: the sound system, the one module and the player
// that every screen loop feeds.
#include "screens.h"

DUH* music = nullptr;
AL_DUH_PLAYER* dplay = nullptr;

void init_sound()
{
    if (install_sound(DIGI_AUTODETECT, MIDI_NONE, nullptr) != 0)
        allegro_message("Error initialising sound system\n%s\n", allegro_error);
    atexit(dumb_exit);
    set_mixer_quality(0);
    dumb_register_stdfiles();
    // A missing module leaves music null; the player then refuses to start
    // and the game runs silently, which is all a player without it expects.
    music = dumb_load_xm_quick("xm/bg.xm");
}

void playmusic(int)
{
    stopmusic();
    dplay = al_start_duh(music, 1, 0, 1.0f, 4096, 11025);
}

void stopmusic()
{
    if (dplay) {
        al_stop_duh(dplay);
        dplay = nullptr;
    }
}
