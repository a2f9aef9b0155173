// A new game: the program flags cleared, a fresh city model, the fires
// scattered and the nineteen widgets of the game screen bound to the model.
#include "screens.h"
#include "widgets.h"
#include "morvask.h"

static void add(Screen_Element* e)
{
    elementarray.push_back(e);
}

void init_gamevars()
{
    consequences = 0;
    warover = false;
    leave = false;

    delete morvask;
    morvask = nullptr;
    morvask = new Morvask;
    Morvask& m = *morvask;

    for (int i = 0; i < 50; ++i)
        place_flame(i);

    destroy_widgets();

    add(new Set_Button(7, 2, 7, 7, xbuttonbmp, "quit", true, false, &leave));
    add(new Toggle_Button(4, 11, 13, 13, bitmaparray[4], "abolish secondary education", true, true, &m.abolisheducation));
    add(new Set_Button(18, 11, 13, 13, bitmaparray[2], "establish jewish quarter", true, true, &m.jewishquarter));
    add(new Set_Button(32, 11, 13, 13, bitmaparray[0], "construct wall", false, true, &m.wall));
    add(new Toggle_Button(4, 25, 13, 13, bitmaparray[5], "mandate the jewish badge", true, true, &m.jewishbadge));
    add(new Toggle_Button(18, 25, 13, 13, bitmaparray[11], "mandate the polish badge", true, true, &m.polishbadge));
    add(new Toggle_Button(32, 25, 13, 13, bitmaparray[7], "start the trains", false, true, &m.trains));
    add(new Singlebar(4, 40, 41, 13, 13, bitmaparray[10], "total population", &m.totalpopulation));
    add(new Doublebar(4, 54, 41, 10, 13, poleflag, "polish population in and out of ghetto", m.poles));
    add(new Doublebar(4, 65, 41, 13, 13, bitmaparray[1], "jewish population in and out of ghetto", m.jews));
    add(new Singlebar(4, 79, 41, 13, 13, bitmaparray[12], "german population", &m.germans));
    add(new Singlebar(4, 93, 41, 13, 13, bitmaparray[9], "treasury funds remaining", &m.treasury));
    add(new Inputbar(53, 79, 50, 13, 13, inputimagesarray[0], "tax rate", 10, &m.taxrate));
    add(new Inputbar(106, 79, 50, 13, 13, inputimagesarray[1], "propaganda budget", 10, &m.propaganda));
    add(new Inputbar(53, 93, 50, 13, 13, inputimagesarray[2], "military population", 10, &m.military));
    add(new Inputbar(106, 93, 50, 13, 13, inputimagesarray[3], "german immigration rate", 10, &m.immigration));
    add(new Status_Bar(4, 110, 154, 7, "statusbar"));
    add(new MapView(49, 0, 111, 77, "view of morvask"));
    add(new Date_Display(17, 2, 25, 7, "date"));
}
