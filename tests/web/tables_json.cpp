// Writes the tests' tables as JSON for test_page.py, at build time, under
// Node:
//   tables_json BEHAVIOUR_FILE LAYOUT_FILE
// The behaviour table (behaviourcases.h), each row as the page's adapter
// needs it: the ids of the button to press, and every text the row expects;
// and the window the tests expect (layoutcases.h).
#include "behaviourcases.h"
#include "layoutcases.h"

#include <fstream>
#include <iostream>
#include <string>

namespace {

std::string quoted(const char* text)
{
    std::string out = "\"";
    for (; *text; ++text)
        out += std::string(*text == '"' || *text == '\\' ? "\\" : "") + *text;
    return out + "\"";
}

void writeBehaviour(std::ostream& out)
{
    std::string json = "{\"untouched\": " + quoted(untouched) + ",\n \"rows\": [";
    const char* separator = "\n  ";
    for (const BehaviourCase& row : behaviourCases) {
        const Messages messages = messagesOf(row);
        std::string shown;
        for (int i = 0; i < messages.count; ++i)
            shown += (i ? ", " : "") + quoted(messages.text[i]);
        json += separator;
        json +=
            "{\"name\": " + quoted(row.name) +
            ", \"region\": " + (row.region == Region::German ? "\"German\"" : "\"English\"") +
            ", \"inputs\": [" + quoted(row.payment) + ", " + quoted(row.rate) + ", " +
            quoted(row.balance) + "], \"kind\": " + std::to_string(int(row.kind)) +
            ", \"button\": " + (row.button == Button::Compute ? "\"Command1\"" : "\"Command2\"") +
            ", \"presses\": " + std::to_string(row.presses) + ", \"messages\": [" + shown +
            "], \"inputsAfter\": [" + quoted(inputAfter(row, row.payment)) + ", " +
            quoted(inputAfter(row, row.rate)) + ", " + quoted(inputAfter(row, row.balance)) +
            "], \"average\": " + quoted(row.average) + ", \"months\": " + quoted(row.months) + "}";
        separator = ",\n  ";
    }
    json += "\n]}\n";
    out << json;
}

void writeLayout(std::ostream& out)
{
    using namespace layoutcases;
    out << "{\"title\": " << quoted(title) << ", \"client\": [" << clientWidth << ", "
        << clientHeight << "], \"bannerName\": " << quoted(bannerName)
        << ", \"description\": " << quoted(description) << ",\n \"tabOrder\": [";
    for (const char* name : tabOrder)
        out << (name == tabOrder[0] ? "" : ", ") << quoted(name);
    out << "],\n \"controls\": [";
    for (const ControlCase& c : controls) {
        const Rect r = inClientArea(c);
        out << (&c == controls ? "\n" : ",\n") << "  {\"name\": " << quoted(c.name)
            << ", \"caption\": " << quoted(c.caption) << ", \"names\": " << quoted(c.names)
            << ", \"rect\": [" << r.left << ", " << r.top << ", " << r.width << ", " << r.height
            << "]}";
    }
    out << "]}\n";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: tables_json BEHAVIOUR_FILE LAYOUT_FILE\n";
        return 2;
    }
    std::ofstream behaviour(argv[1]);
    writeBehaviour(behaviour);
    std::ofstream layout(argv[2]);
    writeLayout(layout);
    return behaviour && layout ? 0 : 1;
}
