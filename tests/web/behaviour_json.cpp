// Writes the behaviour table (behaviourcases.h) as JSON for test_page.py, at
// build time, under Node:
//   behaviour_json OUT_FILE
// Each row as the page's adapter needs it: the ids of the button to press,
// and every text the row expects.
#include "behaviourcases.h"

#include <fstream>
#include <iostream>
#include <string>

namespace {

std::string quoted(const char* text)
{
    std::string out = "\"";
    for (const char* c = text; *c; ++c) {
        if (*c == '"' || *c == '\\')
            out += '\\';
        out += *c;
    }
    return out + "\"";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: behaviour_json OUT_FILE\n";
        return 2;
    }
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
    std::ofstream out(argv[1]);
    out << json;
    return out.good() ? 0 : 1;
}
