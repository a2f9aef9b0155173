// The 3x5 fonts and the one rule every text is drawn by, the status line
// with the widget label under the pointer, and the blinking emergency queue.
#include "widgets.h"

BITMAP* buffer = nullptr;
BITMAP* fontbmp[36];
BITMAP* redfontbmp[36];

const char* nulltext = "";
const char* statustext = nulltext;
std::list<std::string> emergencymessages;
int emergencytimer = 0;

// A queued message stands this many ticks, blinking every 30.
static const int emergencyticks = 150;

// The fonts hold only letters and digits; anything else shows as an 'a'.
int chartonum(char c)
{
    if (c >= 'a' && c <= 'z')
        return c - 'a';
    if (c >= '0' && c <= '9')
        return c - '0' + 26;
    return 0;
}

void draw_text(BITMAP* const* font, const char* text, int x, int y)
{
    for (int i = 0; text[i]; i++)
        if (text[i] != ' ')
            masked_blit(font[chartonum(text[i])], buffer, 0, 0, x + 4 * i, y, 3, 5);
}

Status_Bar::Status_Bar(int x, int y, int w, int h, const char* label)
    : Screen_Element(x, y, w, h, label, true)
{
}

void Status_Bar::draw()
{
    if (emergencytimer == 0 || emergencymessages.empty())
        draw_text(fontbmp, statustext, x + 1, y + 1);
    else if ((emergencytimer / 30) % 2 == 0)
        draw_text(redfontbmp, emergencymessages.front().c_str(), x + 1, y + 1);
}

void process_emergencies()
{
    if (emergencytimer == 0) {
        if (!emergencymessages.empty())
            emergencytimer = emergencyticks;
    } else if (--emergencytimer == 0 && !emergencymessages.empty()) {
        emergencymessages.pop_front();
    }
}
