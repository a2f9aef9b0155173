// The city model: policies, settings, populations, unrest, treasury and the
// calendar, with the tick that steps them and the map fires the calendar moves.
#ifndef MORVASK_H
#define MORVASK_H

class Morvask {
public:
    Morvask();

    int tick();             // 0 stepped, 1 bankrupt, 2 overthrown
    void incrementtime();   // calendar and fire bookkeeping, last step of tick

    bool abolisheducation;
    bool jewishquarter;
    bool wall;
    bool jewishbadge;
    bool polishbadge;
    bool trains;
    float taxrate;
    float propaganda;
    float military;
    float immigration;
    float totalpopulation;
    float poles[2];         // [0] inside the ghetto, [1] outside
    float jews[2];          // [0] inside the ghetto, [1] outside
    float germans;
    float treasury;
    int month;              // 0 = January
    int year;               // 0 = '39
    int ticks;
    float jewishunrest;
    float polishunrest;
    float unrest;
};

struct FlamePixel {
    int x, y;
    int colour;
};

const int flamecyclelength = 5;

extern Morvask* morvask;                // the running game's model, null before the first game
extern bool warover;                    // the game has ended and its ending is to be shown
extern FlamePixel flame[50];            // the map fires
extern const int flameboxes[4][4];      // placement rectangles {x1, y1, x2, y2}, right and bottom excluded
extern int flamecycle[flamecyclelength];// fire colours, filled at start-up
extern bool changeflame;                // the map view is to recolour the fires
extern const char month_text[12][4];    // "jan" .. "dec"
extern const char year_text[6][3];      // "39" .. "44"
extern int (*rng)();                    // every random choice of the game; rand unless a test feeds its own

void scale(float& x, float rate, float ceiling);
void place_flame(int i);                // the fire placement rule: box, x, y, colour
int do_logic();

#endif
