// The program's entry: start-up, the intro, then the screens in turn until
// the player quits.
#include "screens.h"

int main(int, char*[])
{
    init();
    introloop();
    // The intro is silent; the music starts with the title screen.
    playmusic(1);
    while (!quit) {
        titleloop();
        prefaceloop();
        gameloop();
        gameoverloop();
    }
    return 0;
}
END_OF_MAIN()
