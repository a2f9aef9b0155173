// The program's start-up, its pictures and music, the screen loops, the
// message box, the set-up of each new game, and what the game does straight
// with the X display.
#ifndef SCREENS_H
#define SCREENS_H

#include <allegro.h>
#include <aldumb.h>
#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

class Screen_Element;

extern std::atomic<int> speed_count;    // 30 Hz ticks counted by the timer and not yet processed
extern bool quit;                       // leave the program; never cleared
extern bool leave;                      // leave the game screen without an ending
extern int consequences;                // the ending: 0 the calendar ran out, 1 bankrupt, 2 overthrown
extern std::atomic<bool> terminated;    // a signal or the window's close button told the program to end; every loop, a box's too, ends

extern BITMAP* titlebutton[2];          // strips of the title screen's start and exit buttons
extern BITMAP* bitmaparray[14];         // button strips and single label pictures of the button sheet
extern BITMAP* xbuttonbmp;              // strip of the game screen's quit button
extern BITMAP* inputimagesarray[4];     // label pictures of the four sliders
extern BITMAP* poleflag;                // label picture of the polish population bar
extern BITMAP* background;              // the game screen's picture
extern BITMAP* titlescreen;             // the title screen's picture

extern DUH* music;                      // the loaded module, or null
extern AL_DUH_PLAYER* dplay;            // the running player, or null
extern Screen_Element* dialogcapturing; // the message box's widget holding the mouse, or null

void init();
void increment_speed_counter();
void load_pictures();                   // loads and cuts every picture; exits with a message on a missing or broken file
// Why the library must not be given this BMP file, or an empty text when it
// reads it safely and rightly.
std::string bmp_fault(const std::vector<unsigned char>& file);
void catch_end_signals();               // SIGTERM, SIGINT, SIGHUP and SIGQUIT set terminated
void catch_display_errors();            // a lost display or a refused request ends the game with one line and status 1
void check_shared_memory();             // before the graphics mode: where the display cannot attach our memory, the library draws without it
void close_probe();                     // once the library holds its own connection: the probe's goes

void init_sound();
void playmusic(int);
void stopmusic();

// The one loop every screen runs: while running() holds, feed the music, run
// every counted tick (a tick that returns false ends the screen at once and
// stays counted), draw the frame, the pointer when asked, and show it 4x.
// A signal to end stops it before the next pass and sets quit.
void screen_loop(const std::function<bool()>& running,
                 const std::function<bool()>& tick,
                 const std::function<void()>& draw, bool pointer);

// The four lines of the preface or of an ending, drawn 20 pixels apart.
typedef std::array<std::string, 4> TextBlock;
TextBlock preface_text();
TextBlock ending_text(int consequences);
void draw_text_screen(const TextBlock& lines);  // beige page, its button, the lines

// poll_mouse where the mouse driver needs it. Polling switches the library
// to calling the mouse callback only from within poll_mouse, which would hide
// a click shorter than a tick from the press latch.
void poll_pointer();

// ESC is sampled once a tick, which misses a tap shorter than one; the
// library's keyboard callback latches every press in between.
void latch_escape();
bool escape_pressed();                  // ESC is down, or was pressed since the last call

void game_tick();                       // input, ESC, one step of the model, the status countdown
void draw_game_screen();                // background and the listed widgets as they stand

void introloop();
void titleloop();
void prefaceloop();
void gameloop();
void gameoverloop();

void showDialog(std::string text);
void dialog_input(Screen_Element* e);
void drawDialog(std::string text);

void init_gamevars();

#endif
