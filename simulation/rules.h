// The rule engine: one-shot events over model values and the timed actions
// they queue.
#ifndef RULES_H
#define RULES_H

#include <list>
#include <string>
#include <vector>
#include <boost/variant.hpp>

typedef boost::variant<float, float*, bool*> Operand;

struct extract : boost::static_visitor<float> {
    float operator()(float c) const;
    float operator()(float* f) const;
    float operator()(bool* b) const;
};

struct Condition {
    Condition(Operand lhs, Operand rhs);
    Operand lhs;
    Operand rhs;
};

struct TruthCondition : Condition {
    explicit TruthCondition(bool* flag);
};

struct less_than {
    explicit less_than(Condition c);
    bool operator()() const;
    Operand lhs;
    Operand rhs;
};

struct Action {
    Action(float* target, float rate, float time);
    float* target;
    float rate;
    float time;
};

struct Event {
    Event(std::string message, std::vector<Condition> conditions, Action action);
    std::string message;
    std::vector<Condition> conditions;
    Action action;
};

struct conditionmet {
    bool operator()(const Event& e) const;
};

extern std::vector<Event> events;           // pending events of the current game, in registration order
extern std::list<Action> actions;           // queued actions, oldest first
extern const Action do_nothing;             // the action of the events that only show a message
extern void (*showmessage)(std::string);    // shows a fired event's message and returns once dismissed; null shows nothing

void add_event(std::string message, std::vector<Condition> conditions, const Action& action);
void add_action(Action action);
void add_action(float* target, float rate, float time);
bool nullTime(Action action);
void check_events();
void process_actions();

#endif
