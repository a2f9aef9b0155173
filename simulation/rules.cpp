// The rule engine: the pending one-shot events and the queued timed actions,
// tested and applied once per game tick before the city's own step.
#include "rules.h"

#include <utility>

#include <boost/foreach.hpp>

#include "morvask.h"

// Built before the lists, so that they can be torn down after it.
const Action do_nothing(nullptr, 0.0f, 0.0f);
std::vector<Event> events;
std::list<Action> actions;
void (*showmessage)(std::string) = nullptr;

float extract::operator()(float c) const
{
    return c;
}

float extract::operator()(float* f) const
{
    return *f;
}

float extract::operator()(bool* b) const
{
    return *b ? 1.0f : 0.0f;
}

Condition::Condition(Operand lhs, Operand rhs) : lhs(lhs), rhs(rhs)
{
}

// 0.5 lies strictly between a clear flag's 0 and a set flag's 1.
TruthCondition::TruthCondition(bool* flag) : Condition(0.5f, flag)
{
}

less_than::less_than(Condition c) : lhs(c.lhs), rhs(c.rhs)
{
}

bool less_than::operator()() const
{
    const float l = boost::apply_visitor(extract(), lhs);
    const float r = boost::apply_visitor(extract(), rhs);
    return l < r;
}

Action::Action(float* target, float rate, float time) : target(target), rate(rate), time(time)
{
}

Event::Event(std::string message, std::vector<Condition> conditions, Action action)
    : message(message), conditions(conditions), action(action)
{
}

bool conditionmet::operator()(const Event& e) const
{
    BOOST_FOREACH (const Condition& c, e.conditions) {
        if (!less_than(c)())
            return false;
    }
    return true;
}

void add_event(std::string message, std::vector<Condition> conditions, const Action& action)
{
    events.push_back(Event(message, conditions, action));
}

void add_action(Action action)
{
    actions.push_back(action);
}

void add_action(float* target, float rate, float time)
{
    add_action(Action(target, rate, time));
}

bool nullTime(Action action)
{
    return action.time <= 0;
}

void check_events()
{
    // The events that fired are dropped as the walk finds them rather than
    // tested again afterwards, so that an event leaves the list exactly when
    // it fired, whatever the message box may have done to the model meanwhile.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < events.size(); i++) {
        if (conditionmet()(events[i])) {
            if (showmessage)
                showmessage(events[i].message);
            add_action(events[i].action);
        } else {
            if (kept != i)
                events[kept] = std::move(events[i]);
            kept++;
        }
    }
    events.erase(events.begin() + kept, events.end());
}

void process_actions()
{
    actions.remove_if(nullTime);
    BOOST_FOREACH (Action& a, actions) {
        scale(*a.target, a.rate, 1.0f);
        a.time -= 1;
    }
}
