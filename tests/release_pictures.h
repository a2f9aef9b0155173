// Frees everything load_pictures made, so that a test or a benchmark can load
// the pictures again from nothing; the game itself keeps them to the end.
#ifndef RELEASE_PICTURES_H
#define RELEASE_PICTURES_H

#include "screens.h"
#include "widgets.h"

inline void release_picture(BITMAP*& b)
{
    if (b)
        destroy_bitmap(b);
    b = nullptr;
}

inline void release_pictures()
{
    for (int i = 0; i < 36; ++i) {
        release_picture(fontbmp[i]);
        release_picture(redfontbmp[i]);
    }
    for (BITMAP*& b : titlebutton)
        release_picture(b);
    for (BITMAP*& b : bitmaparray)
        release_picture(b);
    for (BITMAP*& b : inputimagesarray)
        release_picture(b);
    for (BITMAP** b : {&xbuttonbmp, &cursorbmp, &background, &titlescreen, &ghetto, &ghetto2, &poleflag})
        release_picture(*b);
}

#endif
