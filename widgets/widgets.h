// The widgets of every screen, the list they live in, the mouse dispatch over
// it, and the pictures and 3x5 font they draw with.
#ifndef WIDGETS_H
#define WIDGETS_H

#include <allegro.h>
#include <cstddef>
#include <list>
#include <string>
#include <vector>

class Screen_Element {
public:
    Screen_Element(int x, int y, int w, int h, const char* label, bool enabled);
    virtual void enable();
    virtual void draw() = 0;
    virtual bool mouseinput(int x, int y, bool down);
    virtual ~Screen_Element();
    bool isat(int px, int py);

    int x, y, w, h;
    const char* label;
    bool captured;
    bool enabled;
};

class Graphic_Element : public Screen_Element {
public:
    Graphic_Element(int x, int y, int w, int h, int labelwidth, BITMAP* image,
                    const char* label, bool enabled);
    BITMAP* image;
    int labelwidth;
};

// One-shot button: once set it stays set and has written true into target.
class Set_Button : public Screen_Element {
public:
    Set_Button(int x, int y, int w, int h, BITMAP* strip, const char* label,
               bool enabled, bool bevel, bool* target);
    void enable() override;
    void draw() override;
    bool mouseinput(int x, int y, bool down) override;
    ~Set_Button() override;

    int state;              // 0 up, 1 held, 2 on, 3 disabled; also the frame drawn
    BITMAP* frames[4];
    bool on;
    bool bevel;
    bool* target;
};

// On/off button: every release writes its value into target.
class Toggle_Button : public Screen_Element {
public:
    Toggle_Button(int x, int y, int w, int h, BITMAP* strip, const char* label,
                  bool enabled, bool bevel, bool* target);
    void enable() override;
    void draw() override;
    bool mouseinput(int x, int y, bool down) override;
    ~Toggle_Button() override;

    int state;
    BITMAP* frames[4];
    bool on;
    bool bevel;
    bool* target;
};

class Singlebar : public Graphic_Element {
public:
    Singlebar(int x, int y, int w, int h, int labelwidth, BITMAP* image,
              const char* label, float* value);
    void draw() override;
    float* value;
};

class Doublebar : public Graphic_Element {
public:
    Doublebar(int x, int y, int w, int h, int labelwidth, BITMAP* image,
              const char* label, float* values);
    void draw() override;
    float* values;          // [0] drawn red, [1] yellow
};

// Slider: shows its own fill and writes fill / 37 while it is dragged.
class Inputbar : public Graphic_Element {
public:
    Inputbar(int x, int y, int w, int h, int labelwidth, BITMAP* image,
             const char* label, int fill, float* target);
    void draw() override;
    bool mouseinput(int x, int y, bool down) override;
    int fill;
    float* target;
};

class Status_Bar : public Screen_Element {
public:
    Status_Bar(int x, int y, int w, int h, const char* label);
    void draw() override;
};

class Date_Display : public Screen_Element {
public:
    Date_Display(int x, int y, int w, int h, const char* label);
    void draw() override;
};

class MapView : public Screen_Element {
public:
    MapView(int x, int y, int w, int h, const char* label);
    void draw() override;
};

extern std::vector<Screen_Element*> elementarray;  // the current screen's widgets, in drawing and hit-test order
extern Screen_Element* capturing;                  // the listed widget holding the mouse, or null
extern const char* statustext;                     // what the status bar shows
extern const char* nulltext;                       // the empty status text
extern std::list<std::string> emergencymessages;   // red status messages waiting to blink
extern int emergencytimer;                         // ticks left for the first emergency message

extern BITMAP* buffer;              // the 160x120 picture every screen draws into
extern BITMAP* fontbmp[36];         // the normal 3x5 font
extern BITMAP* redfontbmp[36];      // the red 3x5 font
extern BITMAP* cursorbmp;           // the mouse pointer; its top-left 5x7 is drawn
extern BITMAP* ghetto;              // the quarter within its wall, 17x18
extern BITMAP* ghetto2;             // the quarter without a wall, 17x18

// Hover labels, capture and the widgets' input for one tick: the widget in
// holder alone while it keeps the mouse, else every enabled widget under the
// pointer in list order, up to the first that takes the mouse into holder.
void dispatch_mouse(Screen_Element* const* list, std::size_t count, Screen_Element*& holder);
void mouse_input();                 // the dispatch over elementarray, holder capturing
void drawGUI();
void drawCursor();
void enable_buttons();
void destroy_widgets();             // destroys every listed widget, empties the list, drops the capture

// A press and release inside one tick would never be seen by a dispatch that
// samples mouse_b once a tick; the library's mouse callback latches it.
void latch_mouse_presses();
bool left_button_down();            // bit 0 of mouse_b, or a press latched since the last call

int chartonum(char c);
void draw_text(BITMAP* const* font, const char* text, int x, int y);
void process_emergencies();

#endif
