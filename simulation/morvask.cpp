// The city model and its tick, the calendar with the map fires it moves, the
// event table every new game arms, and the logic step of one game tick.
//
// Every model value is a float, but sums and products are taken in double and
// only stored back as float; the casts below are written out so that the
// compiler never multiplies two floats in single precision. Constants keep the
// precision the model was balanced with: the 0.01 limits and most factors are
// double, the migration steps and the scale rates single.
#include "morvask.h"

#include <cstdlib>
#include <boost/assign/list_of.hpp>

#include "rules.h"

using boost::assign::list_of;

Morvask* morvask = nullptr;
bool warover = false;
FlamePixel flame[50];
const int flameboxes[4][4] = {
    {73, 18, 102, 44},
    {72, 8, 113, 16},
    {106, 18, 129, 42},
    {89, 47, 127, 61},
};
int flamecycle[flamecyclelength];
bool changeflame = false;
const char month_text[12][4] = {"jan", "feb", "mar", "apr", "may", "jun",
                                "jul", "aug", "sep", "oct", "nov", "dec"};
const char year_text[6][3] = {"39", "40", "41", "42", "43", "44"};
int (*rng)() = std::rand;

static const float migvel = 0.002f;
static const float moneycollect = 0.03f;

// The war ends when the calendar turns to November '44.
static const int lastmonth = 10;
static const int lastyear = 5;

Morvask::Morvask()
{
    abolisheducation = false;
    jewishquarter = false;
    wall = false;
    jewishbadge = false;
    polishbadge = false;
    trains = false;
    taxrate = 0.2f;
    propaganda = 0.2f;
    military = 0.8f;
    immigration = 0.2f;
    germans = 0.05f;
    treasury = 0.8f;
    month = 9;
    year = 0;
    ticks = 0;
    jewishunrest = 0.7f;
    polishunrest = 0.3f;
    unrest = 0.0f;
    jews[0] = 0.0f;
    jews[1] = 0.5f;
    poles[0] = 0.0f;
    poles[1] = 0.4f;
    totalpopulation = float((double(jews[0]) + jews[1]) / double(3.0f) + poles[0] + poles[1] + germans);

    // The lists point into the model they were built for; nothing of the
    // previous game may outlive it.
    events.clear();
    actions.clear();

    add_event("general government is established",
              list_of(Condition(0.0f, 1.0f)), do_nothing);
    add_event("the jews have been successfully moved",
              list_of(Condition(&jews[1], 0.02f))(Condition(0.02f, &jews[0])), do_nothing);
    add_event("the poles have been successfully moved",
              list_of(Condition(&poles[1], 0.02f))(Condition(0.02f, &poles[0])), do_nothing);
    add_event("the jews have been eradicated",
              list_of(Condition(&jews[0], 0.02f))(Condition(&jews[1], 0.02f)), do_nothing);
    add_event("the poles are being relocated",
              list_of(Condition(0.01f, &poles[0])), do_nothing);
    add_event("we are running low on funds",
              list_of(Condition(&treasury, 0.1f)), do_nothing);
    add_event("we have no money left",
              list_of(Condition(&treasury, 0.015f)), do_nothing);
    add_event("we are being overthrown",
              list_of(Condition(&germans, 0.015f)), do_nothing);
    add_event("deportation has begun",
              list_of<Condition>(TruthCondition(&trains)), do_nothing);
    add_event("the students are rioting",
              list_of<Condition>(TruthCondition(&abolisheducation)),
              Action(&jewishunrest, 0.03f, 20.0f));
    add_event("",
              list_of<Condition>(TruthCondition(&abolisheducation)),
              Action(&polishunrest, 0.03f, 20.0f));
    add_event("",
              list_of<Condition>(TruthCondition(&jewishbadge)),
              Action(&jewishunrest, 0.03f, 10.0f));
    add_event("",
              list_of<Condition>(TruthCondition(&polishbadge)),
              Action(&polishunrest, 0.03f, 10.0f));
    add_event("construction of the wall begun",
              list_of<Condition>(TruthCondition(&wall)),
              Action(&treasury, -0.02f, 3.0f));
}

void scale(float& x, float rate, float ceiling)
{
    if (rate > 0)
        x = float(double(x) + (double(ceiling) - double(x)) * double(rate));
    else
        x = float(double(x) + double(x) * double(rate));
}

int Morvask::tick()
{
    if (treasury < 0.01)
        return 1;
    if (germans < 0.01)
        return 2;

    const float J0 = jews[0], J1 = jews[1], P0 = poles[0], P1 = poles[1];
    float dJ0 = 0, dJ1 = 0, dP0 = 0, dP1 = 0;
    float income = 0;

    if (jewishquarter) {
        if (J1 > 0.002) {
            dJ0 = float(double(dJ0) + 0.002f);
            dJ1 = float(double(dJ1) - migvel);
            income = float(double(income) + double(J1) * moneycollect);
        }
        // The poles follow only once the jews are nearly gone.
        if (double(J0) + J1 < 0.03) {
            if (P1 > 0.002) {
                dP0 = float(double(dP0) + 0.001f);
                dP1 = float(double(dP1) + migvel / -2.0f);
                income = float(double(income) + double(P1) * moneycollect);
            }
            if (trains && P0 > 0.1) {
                dP0 = float(double(dP0) - migvel);
                income = float(double(income) + double(P0) * moneycollect);
            }
        }
    }
    if (trains && J0 > 0.002) {
        dJ0 = float(double(dJ0) + -0.004f);
        income = float(double(income) + double(J0) * 0.004);
    }

    const float h = wall ? 0.05f : 0.1f;
    float X = float(double(jewishbadge) * 0.0001 + 0.0001 + double(J0) * h
                    + double(J1) * 0.05 * taxrate - double(propaganda) * 0.02
                    - double(abolisheducation) * 0.0015);
    float Y = float(double(polishbadge) * 0.0001 + double(P0) * h
                    + double(P1) * 0.05 * taxrate - double(propaganda) * 0.05
                    - double(abolisheducation) * 0.02);

    if (jewishbadge != polishbadge) {
        if (jewishunrest > polishunrest)
            Y = float(double(Y) + double(J1) * 0.2);
        else
            jewishunrest = float(double(jewishunrest) + double(P0) * 0.2);
    }

    scale(jewishunrest, X, 1.0f);
    scale(polishunrest, Y, 1.0f);
    unrest = float((double(J0) + J1) * jewishunrest + (double(P0) + P1) * polishunrest);

    float R;
    if (unrest < 1)
        R = float(double(unrest) * 0.1 - double(military) * 0.1);
    else
        R = float(0.1 - double(military) * 0.1);
    if (R < 0)
        R = 0;
    const float T = float(double(immigration) * 0.0001 - double(R) * 0.25);

    scale(polishunrest, Y, 1.0f);
    scale(jewishunrest, X, 1.0f);

    scale(jews[0], dJ0, 0.5f);
    scale(jews[1], dJ1, 0.5f);
    scale(poles[0], dP0, 1.0f);
    scale(poles[1], dP1, 1.0f);
    if (double(poles[0]) + poles[1] > 1)
        poles[0] = float(1 - double(poles[1]));
    if (double(jews[0]) + jews[1] > 1)
        jews[0] = float(1 - double(jews[1]));

    scale(germans, T, 1.0f);
    totalpopulation = float((double(jews[0]) + jews[1]) / double(3.0f) + poles[0] + poles[1] + germans);
    if (totalpopulation > 1) {
        scale(germans, -0.01f, 1.0f);
        scale(poles[0], -0.005f, 1.0f);
        scale(poles[1], -0.005f, 1.0f);
        scale(jews[0], -0.005f, 1.0f);
        scale(jews[1], -0.005f, 1.0f);
        totalpopulation = 1;
    }

    // Only the population outside the ghetto pays tax.
    income = float(double(income)
                   + (double(propaganda) * -0.005 - double(military) * 0.01
                      + double(taxrate) * 0.01
                            * ((double(jews[1]) + poles[1]) / double(3.0f) + germans)));
    scale(treasury, income, 1.0f);

    incrementtime();
    return 0;
}

void place_flame(int i)
{
    const int* box = flameboxes[rng() % 4];
    flame[i].x = box[0] + rng() % (box[2] - box[0]);
    flame[i].y = box[1] + rng() % (box[3] - box[1]);
    flame[i].colour = flamecycle[rng() % flamecyclelength];
}

void Morvask::incrementtime()
{
    ticks++;
    // The date stops at November '44 so that it stays inside the date texts
    // while the ticks still pending after the war's end are run.
    if (ticks % 90 == 0 && !(month == lastmonth && year == lastyear)) {
        month = (month + 1) % 12;
        if (month == 0)
            year++;
        if (month == lastmonth && year == lastyear)
            warover = true;
    }
    if (ticks % 10 == 0) {
        changeflame = true;
        place_flame(rng() % 50);
    }
}

int do_logic()
{
    check_events();
    process_actions();
    return morvask->tick();
}
